// quenmar-sim: runs a battle headless with the game's own code, from a seed or
// a list of random numbers and a script of input events, and writes a trace.
#include <CLI/CLI.hpp>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "base/checked.h"
#include "tools/headless.h"
#include "tools/sim_run.h"
#include "tools/sim_trace.h"
#include "tools/write_png.h"

namespace {

constexpr int BAD_INPUT_STATUS = 2;
constexpr long long MAX_PERIODS = 1'000'000'000;

struct Options {
    int periods = 1000;
    std::uint32_t seed = 1;
    int width = DESIGN_WIDTH;
    int height = DESIGN_HEIGHT;
    std::string random_file, input_file, trace_file, png_file;
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
    CLI::App app("Runs a Quenmar battle without a display and writes what happened, period by period.",
                 "quenmar-sim");
    const std::string design_size =
        std::to_string(DESIGN_WIDTH) + "x" + std::to_string(DESIGN_HEIGHT);
    Options o;
    std::string periods, seed, size;
    app.add_option("--periods", periods, "Number of timer periods to run (1000).")->type_name("N");
    app.add_option("--seed", seed, "Seed of the game's random generator (1).")->type_name("N");
    app.add_option("--random", o.random_file,
                   "Take the random numbers from FILE, one per line, instead.")->type_name("FILE");
    app.add_option("--input", o.input_file, "Scripted input events, one per line.")->type_name("FILE");
    app.add_option("--size", size, "Drawing area at the start (" + design_size + ").")->type_name("WxH");
    app.add_option("--trace", o.trace_file, "One JSON line per period to FILE (- = stdout).")
        ->type_name("FILE");
    app.add_flag("--draws", o.draws, "With --trace: also each period's drawing.");
    app.add_option("--png", o.png_file, "The drawing surface at the end, as a PNG picture.")
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
        if (x == std::string::npos) throw InputError("--size", "expected WIDTHxHEIGHT, like " + design_size);
        o.width = static_cast<int>(option_number(size.substr(0, x), "--size", 1, MAX_AREA_SIDE));
        o.height = static_cast<int>(option_number(size.substr(x + 1), "--size", 1, MAX_AREA_SIDE));
    }
    if (o.draws && o.trace_file.empty()) throw InputError("--draws", "goes with --trace");
    return o;
}

std::ifstream open_input(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) throw InputError(name, "cannot be opened");
    return in;
}

int run(const Options& o) {
    std::vector<ScriptEvent> events;
    if (!o.input_file.empty()) {
        std::ifstream in = open_input(o.input_file);
        events = parse_script(in, o.input_file, o.periods);
    }
    RandomSource random = random_from_seed(o.seed);
    if (!o.random_file.empty()) {
        std::ifstream in = open_input(o.random_file);
        random = random_from_list(parse_randoms(in, o.random_file));
    }
    std::FILE* trace = nullptr;
    if (o.trace_file == "-") {
        trace = stdout;
    } else if (!o.trace_file.empty()) {
        trace = std::fopen(o.trace_file.c_str(), "w");
        if (trace == nullptr) throw InputError(o.trace_file, "cannot be written");
    }
    HeadlessBattle battle(std::move(random), o.width, o.height);
    Session& session = battle.session;
    std::vector<DrawOp> draws;
    if (o.draws) session.picture.draw_log = &draws;

    std::size_t next = 0;
    std::string line;
    const auto started = std::chrono::steady_clock::now();
    for (int period = 1; period <= o.periods && !session.end; ++period) {
        const bool ticked = run_scripted_period(session, events, next, period);
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
        draws.clear();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (trace != nullptr && trace != stdout && std::fclose(trace) != 0) {
        throw InputError(o.trace_file, "cannot be written");
    }
    if (!o.png_file.empty()) write_png(session.picture, o.png_file);
    if (trace == nullptr) {
        const GameWorld& w = session.world;
        std::printf("periods %lld, ticks %lld, level %d, wins %d, losses %d, %.3f s, %.0f ticks/s\n",
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
