// Runs the real quenmar-sim on short scripted battles and reads its trace.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct SimRun {
    int status = -1;
    std::string out;
    std::string err;
    std::vector<QJsonObject> trace;  // the lines of --trace - on standard output
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class Sim : public testing::Test {
  protected:
    fs::path dir;

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("quenmar-sim-test-" + std::to_string(::getpid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path file(const std::string& name, const std::string& content) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    SimRun run(const std::string& args) {
        SimRun r;
        const fs::path out = dir / "stdout", err = dir / "stderr";
        const std::string command =
            std::string(QUENMAR_SIM) + " " + args + " >" + out.string() + " 2>" + err.string();
        const int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(out);
        r.err = slurp(err);
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);) {
            const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line));
            if (doc.isObject()) r.trace.push_back(doc.object());
        }
        return r;
    }
};

float single(const QJsonValue& v) {
    return static_cast<float>(v.toDouble());
}

TEST_F(Sim, the_first_period_sets_up_level_one_scored_as_a_loss) {
    const SimRun r = run("--periods 2 --trace -");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.trace.size(), 2u);
    const QJsonObject& first = r.trace[0];
    EXPECT_EQ(first["period"].toInt(), 1);
    EXPECT_TRUE(first["ticked"].toBool());
    EXPECT_EQ(first["level"].toInt(), 1);
    EXPECT_EQ(first["losses"].toInt(), 1);
    EXPECT_EQ(first["tank_hp"].toArray()[0].toInt(), 2);
    EXPECT_EQ(first["tank_hp"].toArray().size(), 51);
    EXPECT_EQ(first["tag"].toString(), "0");
    EXPECT_EQ(first["label3"].toString(), "Label3");
    const QStringList keys = first.keys();
    EXPECT_TRUE(keys.contains("key_left") && keys.contains("last_alive_speed") &&
                keys.contains("randoms"));
}

TEST_F(Sim, a_held_up_key_from_rest_reaches_2_9599996_after_37_ticks) {
    const fs::path script = file("up.txt", "# hold Up from the start\n1 key_down 38\n");
    const SimRun r =
        run("--seed 4 --size 2000x2000 --periods 40 --trace - --input " + script.string());
    ASSERT_EQ(r.status, 0) << r.err;
    // The player is placed by the first tick and steered from the second on.
    EXPECT_EQ(single(r.trace[37]["tank_speed"].toArray()[0]), 2.9599996f);
    EXPECT_NE(r.out.find("2.9599996,"), std::string::npos) << "singles are written shortest";
}

// A press and its release in one period fire at that period's tick, as a
// held button does; in a paused period they fire nothing, then or later.
TEST_F(Sim, a_quick_click_fires_at_its_periods_tick_but_not_when_paused) {
    const fs::path script = file("tap.txt",
                                 "2 mouse_move 0 650 600\n5 key_press 112\n6 mouse_down 1 650 600\n"
                                 "6 mouse_up 1 650 600\n7 key_press 112\n9 mouse_down 1 650 600\n"
                                 "9 mouse_up 1 650 600\n");
    const SimRun r = run("--periods 9 --trace - --input " + script.string());
    ASSERT_EQ(r.status, 0) << r.err;
    const auto player = [&](int period, const char* field) {
        return r.trace[static_cast<std::size_t>(period - 1)][field].toArray()[0].toInt();
    };
    ASSERT_GT(player(9, "tank_hp"), 0);
    EXPECT_EQ(player(8, "shell_state"), 0);
    EXPECT_GT(player(9, "shell_state"), 0);
    EXPECT_EQ(r.trace[8]["fire_held"].toInt(), 0);
}

TEST_F(Sim, quit_ends_the_run_after_writing_its_period_without_a_tick) {
    const fs::path script = file("quit.txt", "4 click quit\n4 key_press 27\n");
    const SimRun r = run("--periods 10 --trace - --input " + script.string());
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.trace.size(), 4u);
    EXPECT_FALSE(r.trace[3]["ticked"].toBool());
    EXPECT_FALSE(r.trace[3]["winlose_visible"].toBool()) << "nothing after quit is delivered";
}

TEST_F(Sim, the_same_seed_and_script_give_byte_identical_traces) {
    const fs::path script = file("play.txt",
                                 "1 key_down 38\n2 mouse_move 0 300.5 200\n3 mouse_down 1 300 200\n"
                                 "40 mouse_up 1 300 200\n60 key_press 112\n64 key_press 80\n");
    const std::string args = "--seed 9 --periods 150 --draws --trace - --input " + script.string();
    const SimRun a = run(args), b = run(args);
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(run("--seed 10 --periods 150 --trace - --input " + script.string()).out, a.out);
}

TEST_F(Sim, a_random_file_makes_the_battle_depend_on_nothing_else) {
    std::string numbers;
    for (int i = 0; i < 400; ++i)
        numbers += std::to_string((i * 37 % 100) / 100.0) + "\n";
    const fs::path randoms = file("r.txt", numbers);
    const SimRun a = run("--seed 1 --periods 3 --trace - --random " + randoms.string());
    const SimRun b = run("--seed 2 --periods 3 --trace - --random " + randoms.string());
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
    // The first tick steers 51 dead slots, one draw each; the set-up's first
    // draw, number 52 (0.87), places the player.
    EXPECT_EQ(a.trace[0]["tank_x"].toArray()[0].toDouble(), static_cast<double>(0.87f) * 723);
}

TEST_F(Sim, a_random_file_that_runs_out_stops_with_status_3_naming_the_period) {
    const fs::path randoms = file("short.txt", "0.5\n0.25\n");
    const SimRun r = run("--periods 10 --random " + randoms.string());
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("period 1"), std::string::npos) << r.err;
}

TEST_F(Sim, a_malformed_script_line_is_refused_with_its_line_number_and_nothing_runs) {
    const fs::path script = file("bad.txt", "1 key_down 38\n\n# fine so far\n3 jump 1\n");
    const fs::path trace = dir / "trace.jsonl";
    const SimRun r = run("--trace " + trace.string() + " --input " + script.string());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, script.string() + ":4: unknown event 'jump'\n");
    EXPECT_FALSE(fs::exists(trace) && fs::file_size(trace) > 0);
}

TEST_F(Sim, script_faults_each_name_what_is_wrong) {
    const struct {
        const char* line;
        const char* says;
    } cases[] = {
        {"2 key_down", "key_down takes 1 argument(s), found 0"},
        {"2 key_down 38 1", "key_down takes 1 argument(s), found 2"},
        {"2 key_down 40000", "code '40000' does not fit -32768..32767"},
        {"2 mouse_move 0 nan 3", "x 'nan' is not a finite number"},
        {"0 key_up 38", "period '0' does not fit 1..20"},
        {"21 key_up 38", "period '21' does not fit 1..20"},
        {"x key_up 38", "period 'x' is not a whole number"},
        {"2 click fire", "unknown button 'fire'"},
        {"2 resize -1 5", "width '-1' does not fit 0..4096"},
    };
    for (const auto& c : cases) {
        const fs::path script = file("case.txt", std::string("1 key_up 38\n") + c.line + "\n");
        const SimRun r = run("--periods 20 --input " + script.string());
        EXPECT_EQ(r.status, 2) << c.line;
        EXPECT_NE(r.err.find(":2: " + std::string(c.says)), std::string::npos)
            << c.line << " -> " << r.err;
    }
    const fs::path script = file("order.txt", "5 key_up 38\n4 key_up 38\n");
    EXPECT_NE(run("--periods 20 --input " + script.string())
                  .err.find(":2: period 4 comes after period 5"),
              std::string::npos);
}

TEST_F(Sim, without_a_trace_it_prints_one_summary_line) {
    const SimRun r = run("--periods 50");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("periods 50, ticks 50, level 1, wins 0, losses 1, ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(" ticks/s\n"), std::string::npos);
}

TEST_F(Sim, bad_options_and_missing_files_exit_with_status_2) {
    EXPECT_EQ(run("--periods 0").status, 2);
    EXPECT_EQ(run("--periods many").status, 2);
    EXPECT_EQ(run("--size 0x5").status, 2);
    EXPECT_EQ(run("--size 723").status, 2);
    EXPECT_EQ(run("--no-such-option").status, 2);
    const SimRun missing = run("--input " + (dir / "absent.txt").string());
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("absent.txt: cannot be opened"), std::string::npos) << missing.err;
}

TEST_F(Sim, bad_random_files_are_refused_with_their_line_and_nothing_runs) {
    const struct {
        const char* content;
        const char* says;
    } cases[] = {
        {"0.5\n1\n", ":2: '1' is not within 0 <= r < 1"},
        {"0.5\n0.99999999\n", ":2: '0.99999999' is not within 0 <= r < 1"},  // 1 as a single
        {"-0.1\n", ":1: '-0.1' is not within 0 <= r < 1"},
        {"nan\n", ":1: 'nan' is not a number"},
        {"0.5\n\n0.5\n", ":2: expected one number, found 0"},
        {"zero\n", ":1: 'zero' is not a number"},
        {"0.5 0.25\n", ":1: expected one number, found 2"},
        {"0.5\n\x01\x02\xff\n", ":2: control character 1 in a text line"},
        {"", ": holds no numbers"},
    };
    for (const auto& c : cases) {
        const fs::path randoms = file("r.txt", c.content);
        const SimRun r = run("--periods 3 --trace - --random " + randoms.string());
        EXPECT_EQ(r.status, 2) << c.content;
        EXPECT_NE(r.err.find(randoms.string() + c.says), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << "nothing runs";
    }
}

TEST_F(Sim, junk_and_overlong_scripts_are_refused) {
    const fs::path junk = file("junk.txt", std::string("1 key_down 38\n\x7f\x00\x13garbage\n", 20));
    EXPECT_NE(run("--input " + junk.string()).err.find(":2: control character"), std::string::npos);
    const fs::path wide = file("wide.txt", "1 key_down 38 " + std::string(100000, '9') + "\n");
    const SimRun r = run("--input " + wide.string());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(":1: line longer than 1000 characters"), std::string::npos) << r.err;
    const fs::path huge = file("huge.txt", "99999999999999999999 key_down 38\n");
    EXPECT_NE(
        run("--input " + huge.string()).err.find(":1: period '99999999999999999999' does not fit"),
        std::string::npos);
}

TEST_F(Sim, unreadable_files_and_bad_sizes_are_refused_by_name) {
    const SimRun folder = run("--random " + dir.string());
    EXPECT_EQ(folder.status, 2);
    EXPECT_NE(folder.err.find(dir.string() + ": cannot be read"), std::string::npos) << folder.err;
    for (const char* size : {"-5x10", "0x0", "10x0", "99999x10", "axb"}) {
        const SimRun r = run(std::string("--size ") + size);
        EXPECT_EQ(r.status, 2) << size;
        EXPECT_EQ(r.err.rfind("--size: ", 0), 0u) << r.err;
    }
    EXPECT_EQ(run("--seed -1").status, 2);
    EXPECT_EQ(run("--seed 4294967296").status, 2);
}

TEST_F(Sim, png_writes_the_surface) {
    const fs::path png = dir / "battle.png";
    ASSERT_EQ(run("--periods 20 --png " + png.string()).status, 0);
    const std::string bytes = slurp(png);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
}

}  // namespace

// A scripted battle kept with --record is fought again by --battle to the
// same trace and the same cues; a checkpoint altered in the file stops the
// replay at its period.
TEST_F(Sim, a_recorded_battle_is_fought_again_to_the_bit) {
    const fs::path script =
        file("s.txt",
             "1 mouse_move 0 400 300\n2 key_down 38\n3 mouse_down 1 400 300\n"
             "9 mouse_up 1 400 300\n50 resize 500 400\n60 keyboard_lost\n"
             "70 key_press 27\n75 click next_level\n76 click back\n900 click quit\n");
    const fs::path battle = dir / "b.battle";
    const SimRun fought =
        run("--seed 9 --periods 1000 --input " + script.string() + " --trace - --draws --cues " +
            (dir / "fought.cues").string() + " --record " + battle.string());
    ASSERT_EQ(fought.status, 0) << fought.err;
    const SimRun again = run("--battle " + battle.string() + " --trace - --draws --cues " +
                             (dir / "again.cues").string());
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, fought.out);
    EXPECT_EQ(slurp(dir / "again.cues"), slurp(dir / "fought.cues")) << "what is heard of it too";
    EXPECT_EQ(again.err,
              battle.string() + ": every checkpoint held (23 checkpoints, 900 periods)\n");

    std::string text = slurp(battle);
    const std::size_t check = text.find("800 check ") + 10;
    text[check] = text[check] == '0' ? '1' : '0';
    const SimRun altered = run("--battle " + file("c.battle", text).string());
    EXPECT_EQ(altered.status, 5);
    EXPECT_NE(altered.err.find("c.battle: period 800: the battle parts from the recorded one"),
              std::string::npos)
        << altered.err;
    EXPECT_EQ(std::count(altered.err.begin(), altered.err.end(), '\n'), 1);
}

// What is wrong with a battle file is said in one line, and nothing runs.
TEST_F(Sim, a_bad_battle_file_gets_one_line_and_nothing_runs) {
    const fs::path battle = file("bad.battle", "<html><body>junk</body></html>\n");
    const SimRun r = run("--battle " + battle.string() + " --trace -");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              battle.string() +
                  ":1: not a Quenmar battle file (its first line is not 'quenmar-battle 1')\n");
    EXPECT_TRUE(r.out.empty()) << "nothing runs";
}
