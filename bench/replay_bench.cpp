// A fifteen-minute battle at level 50, kept as it was fought and cut off
// before its end: its size, how long bringing it back takes, and, shown
// again, how fast a jump ahead fights through what was not yet fought, how
// long a jump back or ahead within what was fought takes to land, and the
// memory the kept states take, at display scale 1 and 2.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "tools/headless.h"
#include "tools/sim_run.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int PERIODS = 15 * 60 * 1000 / PERIOD_MS;
constexpr int JUMPS = 200;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Levels 1 to 49 given up at once, then level 50 played: the pointer moving
// every other period, a shot every second and a half, Up held. The battle
// as kept, without an end.
std::string fifteen_minutes() {
    std::vector<ScriptEvent> script;
    for (int k = 1; k <= 49; ++k)
        script.push_back({2 * k, {.kind = InputKind::Click, .button = SmallButton::NextLevel}});
    script.push_back({100, {.kind = InputKind::KeyDown, .key = KeyCode::Up}});
    for (int period = 101; period <= PERIODS; period += 2) {
        const double turn = period * 0.035;
        script.push_back({period,
                          {.kind = InputKind::MouseMove,
                           .x = static_cast<float>(361 + 280 * std::cos(turn)),
                           .y = static_cast<float>(325 + 250 * std::sin(1.3 * turn))}});
        if (period % 60 == 1) {
            script.push_back({period, {.kind = InputKind::MouseDown, .mouse = MouseButton::Left}});
            script.push_back({period, {.kind = InputKind::MouseUp, .mouse = MouseButton::Left}});
        }
    }
    HeadlessBattle battle(random_from_seed(2026), DESIGN_WIDTH, DESIGN_HEIGHT, Kept::Yes);
    std::size_t next = 0;
    for (int period = 1; period <= PERIODS; ++period)
        run_scripted_period(battle.match, script, next, period);
    return match_battle(battle.match);
}

void jump(Match& m, int period) {
    match_seek(m, period);
    while (m.viewer.heading_to >= 0)
        match_run_period(m);
}

void measure(const BattleFile& battle, double scale) {
    HeadlessFrontEnd front_end;
    Match m;
    match_start_replay(m, front_end, battle, scale);
    match_key(m, {.key = Key::P});
    const Clock::time_point started = Clock::now();
    jump(m, battle.last_period);
    const double fought_ms = ms_since(started);
    std::printf(
        "scale %.0f: a jump to the end fights %d periods in %.0f ms, %.0f periods a second\n",
        scale, battle.last_period, fought_ms, battle.last_period / fought_ms * 1000);
    std::printf("scale %.0f: %zu kept states, %.1f MB\n", scale, m.kept.size(),
                static_cast<double>(kept_states_size(m)) / 1e6);
    std::mt19937 engine(7);
    std::vector<double> back, ahead;
    for (int i = 0; i < JUMPS; ++i) {
        const int from = std::uniform_int_distribution<int>(1, battle.last_period)(engine);
        jump(m, from);
        const int to = std::uniform_int_distribution<int>(0, battle.last_period)(engine);
        const Clock::time_point at = Clock::now();
        jump(m, to);
        (to < from ? back : ahead).push_back(ms_since(at));
    }
    for (const auto& [name, times] : {std::pair{"back", &back}, std::pair{"ahead", &ahead}}) {
        std::sort(times->begin(), times->end());
        std::printf(
            "scale %.0f: a jump %s within what was fought lands in %.1f ms (median), %.1f ms at "
            "the most\n",
            scale, name, (*times)[times->size() / 2], times->back());
    }
}

// Brought back: fought again blind to its end, and its picture drawn from
// where it was last wiped, the fastest of three; then jumps about it, each
// drawing its picture from where it was last wiped, or from a state kept
// with its picture on the way.
void bring_back(const std::string& kept, double scale) {
    double best = 1e9;
    HeadlessFrontEnd front_end;
    Match m;
    for (int i = 0; i < 3; ++i) {
        const Clock::time_point started = Clock::now();
        match_bring_back(m, front_end, kept, "kept", scale);
        best = std::min(best, ms_since(started));
    }
    std::printf("scale %.0f: brought back in %.0f ms\n", scale, best);
    std::mt19937 engine(7);
    std::vector<double> back;
    const int last = static_cast<int>(m.session.periods);
    for (int i = 0; i < JUMPS; ++i) {
        const int to = std::uniform_int_distribution<int>(0, last)(engine);
        const Clock::time_point at = Clock::now();
        jump(m, to);
        back.push_back(ms_since(at));
    }
    std::sort(back.begin(), back.end());
    std::printf("scale %.0f: then a jump lands in %.1f ms (median), %.1f ms at the most\n", scale,
                back[back.size() / 2], back.back());
}

}  // namespace

// With --kept FILE, writes the battle as kept to FILE and does nothing else.
int main(int argc, char** argv) {
    const std::string kept = fifteen_minutes();
    if (argc == 3 && std::string(argv[1]) == "--kept") {
        std::FILE* file = std::fopen(argv[2], "w");
        return file != nullptr && std::fputs(kept.c_str(), file) >= 0 && std::fclose(file) == 0 ? 0
                                                                                                : 1;
    }
    const BattleFile battle = read_battle(kept, "fifteen minutes");
    std::printf("a battle of %d periods (fifteen minutes), at level 50 from period 100\n",
                battle.last_period);
    std::printf("kept as it is fought: %.0f kB (%zu bytes)\n",
                static_cast<double>(kept.size()) / 1e3, kept.size());
    for (const double scale : {1.0, 2.0}) {
        bring_back(kept, scale);
        measure(battle, scale);
    }
}
