// quenmar-sim built for the browser and run by node, against the native one:
// the same battles and what would be heard of them, written byte for byte
// alike, on the golden battles, a long level-50 run and chaotic play
// (pointers far off the field, resizes, the small windows opening and
// closing).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "recorded_battles.h"

namespace {

constexpr int CHAOS_PERIODS = 12000;
// In a battle's arguments: a chaos script from the seed (one character) after it.
const std::string CHAOS = "CHAOS:";

// A seeded script of every kind of input a player and a window system make,
// now and then, over `periods` periods; never "Quit".
std::string chaos_script(std::uint32_t seed, int periods) {
    std::mt19937 rng(seed);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    const auto far = [&] {  // anywhere a 16-bit pointer can be, fractions too
        return std::to_string(pick(-32768, 32767)) + "." + std::to_string(pick(0, 99));
    };
    std::string script;
    for (int period = 1; period <= periods; ++period) {
        const std::string at = std::to_string(period) + " ";
        const int roll = pick(0, 99);
        if (roll < 10) {
            script +=
                at + (pick(0, 1) ? "key_down " : "key_up ") + std::to_string(pick(37, 40)) + "\n";
        } else if (roll < 20) {
            const bool near = pick(0, 3) > 0;
            script += at + "mouse_move 0 " + (near ? std::to_string(pick(-50, 800)) : far()) + " " +
                      (near ? std::to_string(pick(-50, 700)) : far()) + "\n";
        } else if (roll < 25) {
            script += at + (pick(0, 1) ? "mouse_down " : "mouse_up ") + std::to_string(pick(1, 2)) +
                      " " + far() + " " + std::to_string(pick(0, 651)) + "\n";
        } else if (roll == 25) {
            const char* keys[] = {"key_press 112",   "key_press 27", "key_press 13",
                                  "key_down 112",    "click back",   "click close",
                                  "click next_level"};
            script += at + keys[pick(0, 6)] + "\n";
        } else if (roll == 26 && pick(0, 9) == 0) {
            script += at + "resize " + std::to_string(pick(1, 2000)) + " " +
                      std::to_string(pick(1, 1500)) + "\n";
        }
    }
    return script;
}

using Pipe = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

bool next_line(std::FILE* in, std::string& line) {
    line.clear();
    for (int c; (c = std::fgetc(in)) != EOF;) {
        if (c == '\n') return true;
        line += static_cast<char>(c);
    }
    return !line.empty();
}

class WebTrace : public testing::TestWithParam<Battle> {};

TEST_P(WebTrace, the_browser_build_fights_the_same_battle) {
    const std::filesystem::path randoms = std::filesystem::temp_directory_path() /
                                          ("quenmar-web-randoms-" + std::to_string(::getpid()));
    std::ofstream(randoms) << edge_randoms(10000);
    std::string args = battle_args(GetParam(), randoms) + " --trace -";
    const std::filesystem::path chaos = std::filesystem::temp_directory_path() /
                                        ("quenmar-web-chaos-" + std::to_string(::getpid()));
    if (const auto at = args.find(CHAOS); at != std::string::npos) {
        std::ofstream(chaos) << chaos_script(static_cast<std::uint32_t>(args[at + CHAOS.size()]),
                                             CHAOS_PERIODS);
        args.replace(at, CHAOS.size() + 1, chaos.string());
    }
    const std::string cues =
        std::filesystem::temp_directory_path() / ("quenmar-web-cues-" + std::to_string(::getpid()));
    Pipe native(::popen((QUENMAR_SIM " " + args + " --cues " + cues + ".native").c_str(), "r"),
                ::pclose);
    Pipe web(::popen(("node " QUENMAR_SIM_JS " " + args + " --cues " + cues + ".web").c_str(), "r"),
             ::pclose);
    ASSERT_TRUE(native && web);
    std::string a, b;
    int lines = 0;
    while (next_line(native.get(), a)) {
        ASSERT_TRUE(next_line(web.get(), b))
            << "the browser build stopped after " << lines << " lines";
        ASSERT_EQ(a, b) << "line " << lines + 1;
        ++lines;
    }
    EXPECT_FALSE(next_line(web.get(), b)) << "the browser build went on";
    EXPECT_GT(lines, 0);
    EXPECT_EQ(::pclose(native.release()), 0) << "every checkpoint holds natively";
    EXPECT_EQ(::pclose(web.release()), 0) << "every checkpoint holds in the browser build";
    const auto text = [](const std::string& name) {
        return (std::ostringstream() << std::ifstream(name).rdbuf()).str();
    };
    EXPECT_EQ(text(cues + ".web"), text(cues + ".native")) << "what would be heard of it too";
    for (const char* build : {".native", ".web"})
        std::filesystem::remove(cues + build);
    std::filesystem::remove(randoms);
    std::filesystem::remove(chaos);
}

// The browser build renders the game's sounds as the native one did.
TEST(WebSounds, the_browser_build_renders_every_sound_as_recorded) {
    Pipe web(::popen("node " QUENMAR_SIM_JS " --sounds -", "r"), ::pclose);
    std::string sounds;
    for (std::string line; web && next_line(web.get(), line);)
        sounds += line + "\n";
    EXPECT_EQ(sounds,
              (std::ostringstream() << std::ifstream(SOURCE_DIR "/tests/golden/sounds.txt").rdbuf())
                  .str());
}

std::vector<Battle> battles() {
    std::vector<Battle> all = recorded_battles();
    for (Battle& battle : all)
        battle.args += " --draws";
    all.push_back({"level_50_for_20000_periods", "--seed 3 --periods 20000 --input " SOURCE_DIR
                                                 "/tools/scripts/to-level-50.txt"});
    all.push_back({"chaos_a", "--seed 5 --periods 12000 --draws --input CHAOS:a"});
    all.push_back({"chaos_b", "--seed 6 --periods 12000 --draws --input CHAOS:b"});
    // Battles played with real input and kept by the desktop game and by the page.
    all.push_back(
        {"kept_by_the_desktop", "--draws --battle " SOURCE_DIR "/tests/battles/desktop.battle"});
    all.push_back(
        {"kept_by_the_page", "--draws --battle " SOURCE_DIR "/tests/battles/page.battle"});
    return all;
}

INSTANTIATE_TEST_SUITE_P(Battles, WebTrace, testing::ValuesIn(battles()),
                         [](const testing::TestParamInfo<Battle>& battle) {
                             return std::string(battle.param.name);
                         });

}  // namespace
