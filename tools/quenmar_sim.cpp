// quenmar-sim: runs a battle headless with the game's own code, from a seed or
// a list of random numbers and a script of input events, and writes a trace.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QImage>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "base/checked.h"
#include "tools/sim_run.h"
#include "tools/sim_trace.h"

namespace {

constexpr int BAD_INPUT_STATUS = 2;
constexpr int RANDOMS_RAN_OUT_STATUS = 3;
constexpr long long MAX_PERIODS = 1'000'000'000;

struct Options {
    int periods = 1000;
    std::uint32_t seed = 1;
    int width = DESIGN_WIDTH;
    int height = DESIGN_HEIGHT;
    std::string random_file, input_file, trace_file, png_file;
    bool draws = false;
};

long long option_number(const QString& text, const char* option, long long low, long long high) {
    const std::string s = text.toStdString();
    long long value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size() || value < low || value > high) {
        throw InputError(option, "'" + s + "' is not a whole number in " + std::to_string(low) +
                                     ".." + std::to_string(high));
    }
    return value;
}

Options read_options(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Runs a Quenmar battle without a display and writes what happened, period by period.");
    parser.addHelpOption();
    const QCommandLineOption periods("periods", "Number of timer periods to run (1000).", "N");
    const QCommandLineOption seed("seed", "Seed of the game's random generator (1).", "N");
    const QCommandLineOption random(
        "random", "Take the random numbers from FILE, one per line, instead.", "FILE");
    const QCommandLineOption input("input", "Scripted input events, one per line.", "FILE");
    const QString design_size = QString("%1x%2").arg(DESIGN_WIDTH).arg(DESIGN_HEIGHT);
    const QCommandLineOption size("size", "Drawing area at the start (" + design_size + ").",
                                  "WxH");
    const QCommandLineOption trace("trace", "One JSON line per period to FILE (- = stdout).",
                                   "FILE");
    const QCommandLineOption draws("draws", "With --trace: also each period's drawing.");
    const QCommandLineOption png("png", "The drawing surface at the end, as a PNG picture.",
                                 "FILE");
    parser.addOptions({periods, seed, random, input, size, trace, draws, png});
    if (!parser.parse(app.arguments()))
        throw InputError("quenmar-sim", parser.errorText().toStdString());
    if (parser.isSet("help")) parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty()) {
        throw InputError(
            "quenmar-sim",
            "unexpected argument '" + parser.positionalArguments().front().toStdString() + "'");
    }

    Options o;
    if (parser.isSet(periods)) {
        o.periods =
            static_cast<int>(option_number(parser.value(periods), "--periods", 1, MAX_PERIODS));
    }
    if (parser.isSet(seed)) {
        o.seed =
            static_cast<std::uint32_t>(option_number(parser.value(seed), "--seed", 0, UINT32_MAX));
    }
    if (parser.isSet(size)) {
        const QStringList parts = parser.value(size).split('x');
        if (parts.size() != 2) throw InputError("--size", "expected WIDTHxHEIGHT, like " + design_size.toStdString());
        o.width = static_cast<int>(option_number(parts[0], "--size", 1, MAX_AREA_SIDE));
        o.height = static_cast<int>(option_number(parts[1], "--size", 1, MAX_AREA_SIDE));
    }
    o.random_file = parser.value(random).toStdString();
    o.input_file = parser.value(input).toStdString();
    o.trace_file = parser.value(trace).toStdString();
    o.png_file = parser.value(png).toStdString();
    o.draws = parser.isSet(draws);
    if (o.draws && o.trace_file.empty()) throw InputError("--draws", "goes with --trace");
    return o;
}

std::ifstream open_input(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) throw InputError(name, "cannot be opened");
    return in;
}

void write_png(const Surface& s, const std::string& name) {
    const QImage picture(reinterpret_cast<const uchar*>(s.pixels.data()), s.width, s.height,
                         s.width * 4, QImage::Format_RGB32);
    if (picture.isNull() || !picture.save(QString::fromStdString(name), "PNG")) {
        throw InputError(name, "cannot write the PNG picture");
    }
}

int run(const Options& o) {
    std::vector<ScriptEvent> events;
    if (!o.input_file.empty()) {
        std::ifstream in = open_input(o.input_file);
        events = parse_script(in, o.input_file, o.periods);
    }
    HeadlessPlatform platform(o.width, o.height, o.seed);
    if (!o.random_file.empty()) {
        std::ifstream in = open_input(o.random_file);
        platform.use_randoms(parse_randoms(in, o.random_file));
    }
    std::FILE* trace = nullptr;
    if (o.trace_file == "-") {
        trace = stdout;
    } else if (!o.trace_file.empty()) {
        trace = std::fopen(o.trace_file.c_str(), "w");
        if (trace == nullptr) throw InputError(o.trace_file, "cannot be written");
    }
    platform.record_draws = o.draws;

    GameWorld world{};
    std::size_t next = 0;
    long long ticks = 0;
    int period = 1;
    std::string line;
    const auto started = std::chrono::steady_clock::now();
    for (; period <= o.periods; ++period) {
        bool ticked = false;
        try {
            ticked = run_period(world, platform, events, next, period);
        } catch (const RandomsRanOut& out) {
            std::fprintf(stderr, "quenmar-sim: period %d: %s\n", period, out.what());
            return RANDOMS_RAN_OUT_STATUS;
        } catch (const GameFault& fault) {
            std::fprintf(stderr, "quenmar-sim: period %d: the game stopped: %s\n", period,
                         fault.what());
            return FAULT_EXIT_STATUS;
        }
        ticks += ticked;
        if (trace != nullptr) {
            line.clear();
            append_trace_line(line, period, ticked, platform, world, o.draws);
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), trace);
        }
        platform.draws.clear();
        if (platform.terminated) break;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (trace != nullptr && trace != stdout && std::fclose(trace) != 0) {
        throw InputError(o.trace_file, "cannot be written");
    }
    if (!o.png_file.empty()) write_png(platform.surface, o.png_file);
    if (trace == nullptr) {
        std::printf("periods %d, ticks %lld, level %d, wins %d, losses %d, %.3f s, %.0f ticks/s\n",
                    std::min(period, o.periods), ticks, world.level, world.wins, world.losses,
                    seconds, seconds > 0 ? static_cast<double>(ticks) / seconds : 0.0);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quenmar-sim");
    try {
        return run(read_options(app));
    } catch (const InputError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return BAD_INPUT_STATUS;
    }
}
