// Seeded battles run by quenmar-sim, compared period by period with their
// checked-in traces, drawing operations included. They freeze the battle's
// numbers: any change to a value, a draw or their order shows here, named by
// the first period and field that differ.
//
// After a deliberate change to the battle, write the traces anew with
//   QUENMAR_UPDATE_GOLDENS=1 build/tests/golden_tests --gtest_filter='*GoldenTrace*'
// and after one to what is heard of it, the cues with --gtest_filter='*GoldenCues*'.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "recorded_battles.h"

namespace {

namespace fs = std::filesystem;

// What the command writes to standard output; empty unless it ends with status 0.
std::string command_output(const std::string& command) {
    std::string out;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[1 << 16];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    return ::pclose(pipe) == 0 ? out : std::string();
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// "FIELD: expected ..., got ..." where the two lines first differ, FIELD
// being the key of the value that differs.
std::string first_difference(const std::string& expected, const std::string& actual) {
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    const std::size_t colon = expected.rfind("\":", at);
    const std::size_t quote = colon == std::string::npos ? 0 : expected.rfind('"', colon - 1);
    const std::string field =
        colon == std::string::npos ? "the line" : expected.substr(quote + 1, colon - quote - 1);
    return expected.substr(0, expected.find(',')) + ", " + field + ": expected " +
           expected.substr(at, 40) + "..., got " + actual.substr(at, 40) + "...";
}

class GoldenTrace : public testing::TestWithParam<Battle> {};

TEST_P(GoldenTrace, the_battle_runs_exactly_as_recorded) {
    const Battle& battle = GetParam();
    const fs::path randoms = fs::temp_directory_path() /
                             ("quenmar-golden-randoms-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(randoms) << edge_randoms(10000);
    const std::string args = battle_args(battle, randoms);
    const std::string trace =
        command_output(std::string(QUENMAR_SIM) + " --draws --trace - " + args);
    fs::remove(randoms);
    ASSERT_FALSE(trace.empty()) << "quenmar-sim failed or wrote no trace: " << args;

    const fs::path golden = GOLDEN_DIR / (std::string(battle.name) + ".jsonl.gz");
    if (std::getenv("QUENMAR_UPDATE_GOLDENS") != nullptr) {
        FILE* gz = ::popen(("gzip -9n >" + golden.string()).c_str(), "w");
        ASSERT_NE(gz, nullptr);
        std::fwrite(trace.data(), 1, trace.size(), gz);
        ASSERT_EQ(::pclose(gz), 0);
        GTEST_SKIP() << "wrote " << golden;
    }
    ASSERT_TRUE(fs::exists(golden)) << golden;
    const std::vector<std::string> want = lines_of(command_output("gzip -dc " + golden.string()));
    const std::vector<std::string> got = lines_of(trace);
    for (std::size_t i = 0; i < std::min(want.size(), got.size()); ++i) {
        ASSERT_EQ(want[i] == got[i], true) << first_difference(want[i], got[i]);
    }
    EXPECT_EQ(got.size(), want.size()) << "periods traced";
}

INSTANTIATE_TEST_SUITE_P(Battles, GoldenTrace, testing::ValuesIn(recorded_battles()),
                         [](const testing::TestParamInfo<Battle>& battle) {
                             return std::string(battle.param.name);
                         });

// What would be heard of the ordinary battle, cue by cue: shots, bursts,
// hits, the player's tank destroyed, levels lost, the engine.
TEST(GoldenCues, the_ordinary_battle_is_heard_as_recorded) {
    const Battle ordinary = recorded_battles().front();
    const std::string cues =
        command_output(std::string(QUENMAR_SIM) + " --cues - " + ordinary.args);
    const fs::path golden = GOLDEN_DIR / "ordinary.cues";
    if (std::getenv("QUENMAR_UPDATE_GOLDENS") != nullptr) {
        std::ofstream(golden, std::ios::binary) << cues;
        GTEST_SKIP() << "wrote " << golden;
    }
    std::ifstream in(golden, std::ios::binary);
    std::ostringstream want;
    want << in.rdbuf();
    EXPECT_EQ(cues, want.str());
}

// The game's sounds as it renders them, sample by sample.
TEST(GoldenSounds, every_sound_is_rendered_as_recorded) {
    const fs::path golden = GOLDEN_DIR / "sounds.txt";
    const std::string sounds = command_output(std::string(QUENMAR_SIM) + " --sounds -");
    if (std::getenv("QUENMAR_UPDATE_GOLDENS") != nullptr) {
        std::ofstream(golden, std::ios::binary) << sounds;
        GTEST_SKIP() << "wrote " << golden;
    }
    EXPECT_EQ(sounds, (std::ostringstream() << std::ifstream(golden).rdbuf()).str());
}

}  // namespace
