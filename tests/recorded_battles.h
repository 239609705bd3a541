// The battles whose traces are recorded in tests/golden: quenmar-sim's
// arguments for each, and the list of edge random numbers one of them takes.
#pragma once

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

const std::filesystem::path GOLDEN_DIR = std::filesystem::path(SOURCE_DIR) / "tests" / "golden";

struct Battle {
    const char* name;  // tests/golden/NAME.jsonl.gz
    std::string args;  // for quenmar-sim, besides --trace and --draws; EDGE_RANDOMS for the list
};

inline void PrintTo(const Battle& battle, std::ostream* out) {
    *out << battle.name;
}

// The largest single r with r * scale < k, widened to double: the last random
// number below one of the floors floor(r * scale).
inline float just_below(int k, double scale) {
    float r = static_cast<float>(k / scale);
    while (static_cast<double>(r) * scale >= k)
        r = std::nextafter(r, 0.0f);
    return r;
}

// Random numbers on the edges of the game's floors and comparisons: 0, the
// target coin 0.5 and the single below it, the last values below each k/7
// (range error), k/51 (targets), k/155 (burst shades) and the largest single
// below 1, cycled to `count` numbers.
inline std::string edge_randoms(std::size_t count) {
    std::vector<float> edges = {0.0f, 0.5f, std::nextafter(0.5f, 0.0f), std::nextafter(1.0f, 0.0f)};
    for (int k = 1; k < 7; ++k)
        edges.push_back(just_below(k, 7));
    for (int k = 1; k < 51; ++k)
        edges.push_back(just_below(k, 51));
    for (int k = 1; k < 155; k += 3)
        edges.push_back(just_below(k, 155));
    std::string text;
    char number[32];
    for (std::size_t i = 0; i < count; ++i) {
        // Stride through the list so that neighbouring draws get unrelated edges.
        std::snprintf(number, sizeof number, "%.9g\n", edges[(i * 37) % edges.size()]);
        text += number;
    }
    return text;
}

inline std::vector<Battle> recorded_battles() {
    return {Battle{"ordinary",
                   "--seed 7 --periods 400 --input " + (GOLDEN_DIR / "ordinary.txt").string()},
            Battle{"climb_to_50",
                   "--seed 3 --periods 110 --input " SOURCE_DIR "/tools/scripts/to-level-50.txt"},
            Battle{"edges", "--periods 300 --random EDGE_RANDOMS --input " +
                                (GOLDEN_DIR / "edges.txt").string()}};
}

// The battle's arguments with the list of edge random numbers in `randoms`.
inline std::string battle_args(const Battle& battle, const std::filesystem::path& randoms) {
    std::string args = battle.args;
    if (const auto at = args.find("EDGE_RANDOMS"); at != std::string::npos)
        args.replace(at, 12, randoms.string());
    return args;
}
