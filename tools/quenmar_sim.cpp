// quenmar-sim: runs a battle headless with the game's own code, from a seed or
// a list of random numbers and a script of input events, or from a battle
// file, and writes a trace; it can keep the battle it fights as a battle file.
#include <CLI/CLI.hpp>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "base/checked.h"
#include "record/battle_link.h"
#include "record/recording.h"
#include "tools/headless.h"
#include "tools/sim_run.h"
#include "tools/sim_trace.h"
#include "tools/write_png.h"

namespace {

constexpr int BAD_INPUT_STATUS = 2;

struct Options {
    int periods = 1000;
    std::uint32_t seed = 1;
    int width = DESIGN_WIDTH;
    int height = DESIGN_HEIGHT;
    std::string random_file, input_file, trace_file, png_file, battle_file, record_file, cues_file,
        sounds_file;
    bool draws = false;
};

long long option_number(const std::string& s, const char* option, long long low, long long high) {
    long long value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size() || value < low || value > high) {
        throw InputError(option, "'" + s + "' is not a whole number in " + std::to_string(low) +
                                     ".." + std::to_string(high));
    }
    return value;
}

// The options, or none when the help was asked for and printed.
std::optional<Options> read_options(int argc, char** argv) {
    CLI::App app(
        "Runs a Quenmar battle without a display and writes what happened, period by period.",
        "quenmar-sim");
    const std::string design_size =
        std::to_string(DESIGN_WIDTH) + "x" + std::to_string(DESIGN_HEIGHT);
    Options o;
    std::string periods, seed, size;
    app.add_option("--periods", periods,
                   "Number of timer periods to run (1000; with --battle, all).")
        ->type_name("N");
    app.add_option("--seed", seed, "Seed of the game's random generator (1).")->type_name("N");
    app.add_option("--random", o.random_file,
                   "Take the random numbers from FILE, one per line, instead.")
        ->type_name("FILE");
    app.add_option("--input", o.input_file, "Scripted input events, one per line.")
        ->type_name("FILE");
    app.add_option("--battle", o.battle_file,
                   "Fight the battle recorded in FILE again, checking every checkpoint.")
        ->type_name("FILE");
    app.add_option("--record", o.record_file, "Keep the battle fought as a battle file.")
        ->type_name("FILE");
    app.add_option("--size", size, "Drawing area at the start (" + design_size + ").")
        ->type_name("WxH");
    app.add_option("--trace", o.trace_file, "One JSON line per period to FILE (- = stdout).")
        ->type_name("FILE");
    app.add_flag("--draws", o.draws, "With --trace: also each period's drawing.");
    app.add_option("--cues", o.cues_file,
                   "What would be heard, a line a cue (PERIOD NAME X Y), to FILE (- = stdout).")
        ->type_name("FILE");
    app.add_option("--png", o.png_file, "The drawing surface at the end, as a PNG picture.")
        ->type_name("FILE");
    app.add_option("--sounds", o.sounds_file,
                   "The game's sounds as it renders them, a line each (NAME FRAMES HASH), to FILE "
                   "(- = stdout), and nothing else.")
        ->type_name("FILE");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), stdout);
        return std::nullopt;
    } catch (const CLI::ParseError& error) {
        throw InputError("quenmar-sim", error.what());
    }
    if (!periods.empty()) {
        o.periods = static_cast<int>(option_number(periods, "--periods", 1, MAX_PERIODS));
    }
    if (!seed.empty()) {
        o.seed = static_cast<std::uint32_t>(option_number(seed, "--seed", 0, UINT32_MAX));
    }
    if (!size.empty()) {
        const std::size_t x = size.find('x');
        if (x == std::string::npos)
            throw InputError("--size", "expected WIDTHxHEIGHT, like " + design_size);
        o.width = static_cast<int>(option_number(size.substr(0, x), "--size", 1, MAX_AREA_SIDE));
        o.height = static_cast<int>(option_number(size.substr(x + 1), "--size", 1, MAX_AREA_SIDE));
    }
    if (o.draws && o.trace_file.empty()) throw InputError("--draws", "goes with --trace");
    if (o.cues_file == "-" && o.trace_file == "-")
        throw InputError("--cues", "and --trace cannot both be -");
    if (!o.battle_file.empty() && (!seed.empty() || !size.empty() || !o.random_file.empty() ||
                                   !o.input_file.empty() || !o.record_file.empty())) {
        throw InputError("--battle",
                         "goes alone, or with --periods, --trace, --draws, --cues and --png");
    }
    if (!o.battle_file.empty() && periods.empty()) o.periods = MAX_PERIODS;
    if (!o.record_file.empty() && !o.random_file.empty()) {
        throw InputError("--record", "goes with --seed, not --random");
    }
    return o;
}

std::ifstream open_input(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) throw InputError(name, "cannot be opened");
    return in;
}

std::FILE* open_output(const std::string& name) {
    if (name == "-") return stdout;
    std::FILE* file = std::fopen(name.c_str(), "w");
    if (file == nullptr) throw InputError(name, "cannot be written");
    return file;
}

void close_output(std::FILE* file, const std::string& name) {
    if (file != nullptr && file != stdout && std::fclose(file) != 0) {
        throw InputError(name, "cannot be written");
    }
}

// The battle to fight: a scripted one, or one fought again from its file.
struct Battle {
    HeadlessFrontEnd front_end;
    Match match;
    std::vector<ScriptEvent> events;
    std::size_t next = 0;
    std::FILE* record = nullptr;
    int periods = 0;  // the last period to run

    bool running(int period) const {
        const Replay* replay = match.replay ? &*match.replay : nullptr;
        return period <= periods && !match.session.end &&
               (!replay || replay->state == ReplayState::Running);
    }
    bool run_period(int period) {
        const bool ticked = run_scripted_period(match, events, next, period);
        if (period == periods) match_end_battle(match);
        keep();
        return ticked;
    }
    // Writes what is new of the battle fought to the battle file, if it is kept.
    void keep() {
        const ToKeep k = match_to_keep(match);
        if (record == nullptr) return;
        for (const std::string* lines : {&k.lines, &k.first_lines})
            std::fwrite(lines->data(), 1, lines->size(), record);
    }
};

std::unique_ptr<Battle> battle_from_options(const Options& o) {
    auto b = std::make_unique<Battle>();
    b->periods = o.periods;
    if (!o.battle_file.empty()) {
        match_start_replay(b->match, b->front_end, read_battle_from(o.battle_file));
        return b;
    }
    RandomSource random = random_from_seed(o.seed);
    if (!o.random_file.empty()) {
        std::ifstream in = open_input(o.random_file);
        random = random_from_list(parse_randoms(in, o.random_file));
    }
    if (!o.input_file.empty()) {
        std::ifstream in = open_input(o.input_file);
        b->events = parse_script(in, o.input_file, o.periods);
    }
    if (!o.record_file.empty()) b->record = open_output(o.record_file);
    match_start_game(b->match, b->front_end, std::move(random), o.width, o.height, 1,
                     o.record_file.empty() ? Kept::No : Kept::Yes);
    b->keep();
    return b;
}

int run(const Options& o) {
    if (!o.sounds_file.empty()) {
        std::string lines;
        append_sound_lines(lines);
        std::FILE* out = open_output(o.sounds_file);
        std::fputs(lines.c_str(), out);
        close_output(out, o.sounds_file);
        return 0;
    }
    const std::unique_ptr<Battle> battle = battle_from_options(o);
    std::FILE* trace = o.trace_file.empty() ? nullptr : open_output(o.trace_file);
    std::FILE* cues = o.cues_file.empty() ? nullptr : open_output(o.cues_file);
    Session& session = battle->match.session;
    std::vector<DrawOp> draws;
    if (o.draws) session.picture.draw_log = &draws;

    std::string line;
    const auto started = std::chrono::steady_clock::now();
    for (int period = 1; battle->running(period); ++period) {
        const bool ticked = battle->run_period(period);
        if (session.end && session.end->status != 0) {
            std::fprintf(stderr, "quenmar-sim: period %d: %s\n", period,
                         session.end->message.c_str());
            return session.end->status;
        }
        if (trace != nullptr) {
            line.clear();
            append_trace_line(line, period, ticked, session, o.draws ? &draws : nullptr);
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), trace);
        }
        if (cues != nullptr) {
            line.clear();
            append_cue_lines(line, period, session.cues);
            std::fwrite(line.data(), 1, line.size(), cues);
        }
        draws.clear();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    close_output(trace, o.trace_file);
    close_output(cues, o.cues_file);
    close_output(battle->record, o.record_file);
    if (!o.png_file.empty()) write_png(session.picture, o.png_file);
    std::FILE* say = trace == stdout || cues == stdout ? stderr : stdout;
    if (battle->match.replay) {
        const Replay& r = *battle->match.replay;
        if (r.state == ReplayState::Parted) {
            std::fprintf(stderr, "quenmar-sim: %s\n", r.message.c_str());
            return BATTLES_PARTED_STATUS;
        }
        std::fprintf(say, "%s: every checkpoint held (%zu checkpoints, %lld periods%s)\n",
                     o.battle_file.c_str(), r.at.next_check, session.periods,
                     r.file.ended || session.periods < r.file.last_period
                         ? ""
                         : "; the recording stops before the battle's end");
    } else if (trace == nullptr && cues != stdout) {
        const GameWorld& w = session.world;
        std::printf(
            "periods %lld, ticks %lld, level %d, wins %d, losses %d, %.3f s, %.0f ticks/s\n",
            session.periods, session.ticks, w.level, w.wins, w.losses, seconds,
            seconds > 0 ? static_cast<double>(session.ticks) / seconds : 0.0);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::optional<Options> options = read_options(argc, argv);
        return options ? run(*options) : 0;
    } catch (const InputError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return BAD_INPUT_STATUS;
    }
}
