#include "record/recording.h"

#include <utility>

#include "base/bits.h"

namespace {

// FNV-1a over each value's bytes, least significant first.
struct Hasher {
    static constexpr std::uint64_t OFFSET_BASIS = 0xcbf29ce484222325ULL;
    static constexpr std::uint64_t PRIME = 0x100000001b3ULL;
    std::uint64_t hash = OFFSET_BASIS;

    void bytes(std::uint64_t value, int count) {
        for (int i = 0; i < count; ++i) {
            hash = (hash ^ ((value >> (8 * i)) & 0xFF)) * PRIME;
        }
    }
    void add(double v) { bytes(bits_as<std::uint64_t>(v), 8); }
    void add(float v) { bytes(bits_as<std::uint32_t>(v), 4); }
    void add(std::int16_t v) { bytes(static_cast<std::uint16_t>(v), 2); }
    void add(bool v) { bytes(v ? 1 : 0, 1); }
    template <typename T>
    void add(const SlotTable<T>& table) {
        for (const T& v : table)
            add(v);
    }
};

// The fields below; a field added to the world must be added here too.
static_assert(sizeof(GameWorld) == 2832, "a field of GameWorld is missing from world_hash");

std::vector<std::uint32_t> later_seeds(const BattleFile& file) {
    std::vector<std::uint32_t> later;
    for (const SeedTaken& taken : file.seeds)
        later.push_back(taken.seed);
    return later;
}

void add_line(BattleRecorder& r, int period, const std::string& line) {
    r.text += line;
    r.last_line = period;
}

void add_check(BattleRecorder& r, const Session& s) {
    const int period = static_cast<int>(s.periods);
    add_line(r, period, check_line(period, world_hash(s)));
    ++r.lines.next_check;
    r.checked = period;
}

void record_seeds(BattleRecorder& r, Session& s) {
    const int period = static_cast<int>(s.periods);
    for (const std::uint32_t seed : s.random.seeds_taken) {
        add_line(r, period, seed_line(period, seed));
        ++r.lines.next_seed;
    }
    s.random.seeds_taken.clear();
}

std::string version_note(const BattleFile& file) {
    return file.game_version == QUENMAR_VERSION
               ? "the file was changed, or recorded by a build of Quenmar " QUENMAR_VERSION
                 " whose battle differs from this one's"
               : "it was recorded by Quenmar " + file.game_version +
                     ", whose battle differs from this one's (" QUENMAR_VERSION ")";
}

void part(Replay& replay, const Session& s, const std::string& why) {
    replay.state = ReplayState::Parted;
    replay.message = replay.file.name + ": period " + std::to_string(s.periods) +
                     ": the battle parts from the recorded one (" + why + "); " +
                     version_note(replay.file);
}

}  // namespace

std::uint64_t world_hash(const Session& session) {
    const GameWorld& w = session.world;
    Hasher h;
    h.add(w.tank_x);
    h.add(w.tank_y);
    h.add(w.tank_dir);
    h.add(w.turret_dir);
    h.add(w.tank_hp);
    h.add(w.tank_speed);
    h.add(w.tank_target);
    h.add(w.shell_x);
    h.add(w.shell_y);
    h.add(w.shell_dir);
    h.add(w.shell_state);
    for (const std::int16_t v : {w.cur_tank, w.scan_idx, w.burst_idx, w.alive_count})
        h.add(v);
    h.add(w.last_alive_speed);
    for (const double v : {w.turret_delta, w.hull_delta, w.aim_angle, w.aim_dist})
        h.add(v);
    for (const std::int16_t v : {w.fire_held, w.mouse_x, w.mouse_y, w.level, w.wins, w.losses,
                                 w.key_up, w.key_down, w.key_right, w.key_left}) {
        h.add(v);
    }
    const Controls& c = session.controls;
    for (const bool v : {c.battle_timer_running, c.next_level_requested, c.result_window_open,
                         c.help_window_open, c.quit_requested}) {
        h.add(v);
    }
    return h.hash;
}

void record_start(BattleRecorder& r, Session& s) {
    r = BattleRecorder{};
    const bool reseeds = s.random.reseeds_from_clock;
    if (reseeds && !s.random.seeds_taken.empty()) {
        s.random.seeds_taken.erase(s.random.seeds_taken.begin());  // the header's
    }
    r.text = battle_file_header(QUENMAR_VERSION, s.picture.area_width, s.picture.area_height,
                                reseeds, s.random.first_seed);
}

void record_from(BattleRecorder& r, std::string text, const ReplayPosition& at, const Session& s) {
    r = BattleRecorder{};
    r.text = std::move(text);
    r.lines = at;
    r.last_line = r.checked = static_cast<int>(s.periods);
}

bool record_period(BattleRecorder& r, Session& s, bool battle_shown) {
    if (r.ended || s.end) return false;
    const int period = static_cast<int>(s.periods + 1);
    if (battle_shown != r.lines.shown) {
        r.lines.shown = battle_shown;
        add_line(r, period, shown_line(period, battle_shown));
        ++r.lines.next_shown;
    }
    for (const InputEvent& event : s.waiting) {
        add_line(r, period, event_line(period, event));
        ++r.lines.next_event;
    }
    const bool ticked = session_run_period(s, battle_shown);
    record_seeds(r, s);
    if (s.end) {
        record_end(r, s);
    } else if (period % CHECKPOINT_PERIODS == 0) {
        add_check(r, s);
        r.sync_due = true;
    } else if (period - r.last_line >= KEEP_PERIODS) {
        add_check(r, s);
    }
    return ticked;
}

void record_check(BattleRecorder& r, const Session& s) {
    if (!r.ended && r.checked != s.periods) add_check(r, s);
}

void record_end(BattleRecorder& r, const Session& s) {
    if (r.ended) return;
    record_check(r, s);
    add_line(r, static_cast<int>(s.periods), end_line(static_cast<int>(s.periods)));
    r.ended = r.sync_due = true;
}

std::string battle_so_far(const BattleRecorder& r, const Session& s) {
    if (r.ended || s.periods == 0 || r.checked == s.periods) return r.text;
    return r.text + check_line(static_cast<int>(s.periods), world_hash(s));
}

void replay_start(Replay& replay, Session& s, BattleFile file, double scale) {
    RandomSource random = file.reseeds ? random_from_seeds(file.first_seed, later_seeds(file))
                                       : random_from_seed(file.first_seed);
    session_start(s, std::move(random), file.width, file.height, scale);
    replay = Replay{};
    replay.file = std::move(file);
    if (replay.file.last_period == 0) replay.state = ReplayState::Over;
}

bool replay_period(Replay& replay, Session& s) {
    if (replay.state != ReplayState::Running) return false;
    const BattleFile& f = replay.file;
    ReplayPosition& at = replay.at;
    const int period = static_cast<int>(s.periods + 1);
    for (; at.next_event < f.events.size() && f.events[at.next_event].period == period;
         ++at.next_event) {
        session_take(s, f.events[at.next_event].event);
    }
    for (;
         at.next_shown < f.shown_changes.size() && f.shown_changes[at.next_shown].period == period;
         ++at.next_shown) {
        at.shown = f.shown_changes[at.next_shown].shown;
    }
    const std::size_t seeds_before = s.random.later_seeds_used;
    const bool ticked = session_run_period(s, at.shown);
    for (; at.next_seed < f.seeds.size() && f.seeds[at.next_seed].period <= period;
         ++at.next_seed) {
    }
    s.random.seeds_taken.clear();
    if (f.reseeds && s.random.later_seeds_used != at.next_seed) {
        part(replay, s,
             seeds_before == s.random.later_seeds_used ? "no level was set up where one was"
                                                       : "a level was set up where none was");
    }
    for (; replay.state == ReplayState::Running && at.next_check < f.checkpoints.size() &&
           f.checkpoints[at.next_check].period == period;
         ++at.next_check) {
        if (f.checkpoints[at.next_check].hash != world_hash(s)) {
            part(replay, s, "the world differs from its checkpoint");
        }
    }
    if (replay.state == ReplayState::Running && (period >= f.last_period || s.end)) {
        replay.state = ReplayState::Over;
    }
    return ticked;
}

void replay_stand_at(Replay& replay, Session& s, const ReplayPosition& at, ReplayState state) {
    replay.at = at;
    replay.state = state;
    if (replay.file.reseeds) random_follow_seeds(s.random, later_seeds(replay.file), at.next_seed);
}
