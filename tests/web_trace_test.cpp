// quenmar-sim built for the browser and run by node, against the native one:
// the same battles, every integer, flag, text and draw operation equal, and
// every double within 1e-9 (the browser's sin, cos and atan may round the
// last bit otherwise).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "recorded_battles.h"

namespace {

constexpr double TOLERANCE = 1e-9;

// A trace line cut into strings, numbers, literals and punctuation.
std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> found;
    for (std::size_t at = 0; at < line.size();) {
        std::size_t end = at + 1;
        if (line[at] == '"') {
            while (end < line.size() && line[end] != '"')
                end += line[end] == '\\' ? 2 : 1;
            ++end;
        } else if (std::string("{}[],:").find(line[at]) == std::string::npos) {
            end = line.find_first_of("{}[],:", at);
        }
        found.push_back(line.substr(at, end - at));
        at = end;
    }
    return found;
}

// Empty when the lines agree, else where and how they first differ.
std::string disagreement(const std::string& native, const std::string& web) {
    const std::vector<std::string> a = tokens(native), b = tokens(web);
    if (a.size() != b.size()) return "different shapes: " + native.substr(0, 60);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        char* end_a = nullptr;
        char* end_b = nullptr;
        const double x = std::strtod(a[i].c_str(), &end_a), y = std::strtod(b[i].c_str(), &end_b);
        const bool numbers = *end_a == '\0' && *end_b == '\0' && a[i][0] != '"';
        if (numbers && std::fabs(x - y) <= TOLERANCE) continue;
        std::string field;
        for (std::size_t k = i; k-- > 0 && field.empty();)
            if (a[k].front() == '"' && a[k + 1] == ":") field = a[k];
        return a[1] + " " + a[3] + ", " + field + ": native " + a[i] + ", browser " + b[i];
    }
    return {};
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
    const std::filesystem::path randoms =
        std::filesystem::temp_directory_path() / ("quenmar-web-randoms-" + std::to_string(::getpid()));
    std::ofstream(randoms) << edge_randoms(10000);
    const std::string args = battle_args(GetParam(), randoms) + " --trace -";
    Pipe native(::popen((QUENMAR_SIM " " + args).c_str(), "r"), ::pclose);
    Pipe web(::popen(("node " QUENMAR_SIM_JS " " + args).c_str(), "r"), ::pclose);
    ASSERT_TRUE(native && web);
    std::string a, b;
    int lines = 0;
    while (next_line(native.get(), a)) {
        ASSERT_TRUE(next_line(web.get(), b)) << "the browser build stopped after " << lines << " lines";
        ASSERT_EQ(disagreement(a, b), "");
        ++lines;
    }
    EXPECT_FALSE(next_line(web.get(), b)) << "the browser build went on";
    EXPECT_GT(lines, 0);
    std::filesystem::remove(randoms);
}

std::vector<Battle> battles() {
    std::vector<Battle> all = recorded_battles();
    for (Battle& battle : all)
        battle.args += " --draws";
    all.push_back({"level_50_for_20000_periods",
                   "--seed 3 --periods 20000 --input " SOURCE_DIR "/tools/scripts/to-level-50.txt"});
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    Battles, WebTrace, testing::ValuesIn(battles()),
    [](const testing::TestParamInfo<Battle>& battle) { return std::string(battle.param.name); });

}  // namespace
