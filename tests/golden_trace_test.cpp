// Seeded battles run by quenmar-sim, compared period by period with their
// checked-in traces, drawing operations included. They freeze the battle's
// numbers: any change to a value, a draw or their order shows here, named by
// the first period and field that differ.
//
// After a deliberate change to the battle, write the traces anew with
//   QUENMAR_UPDATE_GOLDENS=1 build/tests/golden_tests --gtest_filter='GoldenTrace.*'
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path GOLDEN_DIR = fs::path(SOURCE_DIR) / "tests" / "golden";

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

// The largest single r with r * scale < k, widened to double: the last random
// number below one of the floors floor(r * scale).
float just_below(int k, double scale) {
    float r = static_cast<float>(k / scale);
    while (static_cast<double>(r) * scale >= k)
        r = std::nextafter(r, 0.0f);
    return r;
}

// Random numbers on the edges of the game's floors and comparisons: 0, the
// target coin 0.5 and the single below it, the last values below each k/7
// (range error), k/51 (targets), k/155 (burst shades) and the largest single
// below 1, cycled to `count` numbers.
std::string edge_randoms(std::size_t count) {
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

struct Battle {
    const char* name;  // tests/golden/NAME.jsonl.gz
    std::string args;  // for quenmar-sim, besides --trace and --draws
};

void PrintTo(const Battle& battle, std::ostream* out) {
    *out << battle.name;
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
    std::string args = battle.args;
    if (const auto at = args.find("EDGE_RANDOMS"); at != std::string::npos) {
        args.replace(at, 12, randoms.string());
    }
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

INSTANTIATE_TEST_SUITE_P(
    Battles, GoldenTrace,
    testing::Values(
        Battle{"ordinary", "--seed 7 --periods 400 --input " +
                               (GOLDEN_DIR / "ordinary.txt").string()},
        Battle{"climb_to_50", "--seed 3 --periods 110 --input " SOURCE_DIR
                              "/tools/scripts/to-level-50.txt"},
        Battle{"edges", "--periods 300 --random EDGE_RANDOMS --input " +
                            (GOLDEN_DIR / "edges.txt").string()}),
    [](const testing::TestParamInfo<Battle>& battle) { return std::string(battle.param.name); });

}  // namespace
