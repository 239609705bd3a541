// The battle session as a front end meets it, through its match: records
// in, periods run, and what the front end is asked to do in return.
#include "match/match.h"
#include "tools/headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// A front end that notes what it is asked.
struct NotingFrontEnd final : HeadlessFrontEnd {
    std::vector<std::string> told;
    void open_result_window(ResultScore s) override {
        told.push_back("open result " + std::to_string(s.wins) + " " + std::to_string(s.losses));
    }
    void open_help_window() override { told.push_back("open help"); }
    void close_small_window(SmallWindow w) override {
        told.push_back(w == SmallWindow::Result ? "close result" : "close help");
    }
    void end_program(int status, std::string_view message) override {
        told.push_back("end " + std::to_string(status) + " " + std::string(message));
    }
};

InputEvent press(CharCode c) {
    return {.kind = InputKind::KeyPress, .character = c};
}
InputEvent click(SmallButton b) {
    return {.kind = InputKind::Click, .button = b};
}
const InputEvent ESC = press(CharCode::Esc), P = press(CharCode::LowerP);
const InputEvent F1 = {.kind = InputKind::KeyDown, .key = KeyCode::F1};
const InputEvent UP = {.kind = InputKind::KeyDown, .key = KeyCode::Up};

struct Playing : testing::Test {
    NotingFrontEnd front_end;
    Match m;
    Session& s = m.session;
    void SetUp() override {
        match_start_game(m, front_end, random_from_seed(5), 723, 651, 1, Kept::No);
    }
    // One period with these records.
    bool period(std::initializer_list<InputEvent> records, bool shown = true) {
        for (const InputEvent& e : records)
            session_take(s, e);
        return match_run_period(m, shown);
    }
};

// From level 1 with Up held, each record in a period of its own, then two
// periods more: what the front end was told and where the battle stands.
struct FlowRow {
    const char* name;
    std::vector<InputEvent> records;
    std::vector<std::string> told;
    bool running;  // the battle's timer runs
    bool up_held;  // opening a small window lets go of the arrows; p does not
    int level;
};

class Flow : public Playing, public testing::WithParamInterface<FlowRow> {};

TEST_P(Flow, the_small_windows_pause_and_resume_and_next_level_scores_a_loss) {
    const FlowRow& row = GetParam();
    period({UP});
    for (const InputEvent& e : row.records)
        period({e});
    EXPECT_EQ(front_end.told, row.told);
    EXPECT_EQ(s.controls.battle_timer_running, row.running);
    EXPECT_EQ(s.world.key_up != 0, row.up_held);
    period({});
    period({});
    EXPECT_EQ(s.world.level, row.level);
    EXPECT_EQ(s.world.losses, row.level) << "every set-up scored a loss";
}

const std::string OPEN = "open result 0 0";  // no win, and the start-up loss not counted
INSTANTIATE_TEST_SUITE_P(
    Rows, Flow,
    testing::Values(
        FlowRow{"esc_shows_the_score_and_pauses", {ESC}, {OPEN}, false, false, 1},
        FlowRow{"esc_again_closes_and_resumes", {ESC, ESC}, {OPEN, "close result"}, true, false, 1},
        FlowRow{"back_resumes_after_p",
                {P, ESC, click(SmallButton::Back)},
                {OPEN, "close result"},
                true,
                false,
                1},
        FlowRow{"p_resumes_and_leaves_result_open", {ESC, P}, {OPEN}, true, false, 1},
        FlowRow{"p_pauses_and_holds_the_arrows", {P}, {}, false, true, 1},
        FlowRow{"next_level_after_p_resumes_and_the_level_is_lost",
                {P, ESC, click(SmallButton::NextLevel)},
                {OPEN, "close result"},
                true,
                false,
                2},
        FlowRow{"f1_shows_help_and_pauses", {F1}, {"open help"}, false, false, 1},
        FlowRow{"f1_again_closes_help_and_resumes",
                {F1, F1},
                {"open help", "close help"},
                true,
                false,
                1},
        FlowRow{"close_resumes_after_p",
                {P, F1, click(SmallButton::Close)},
                {"open help", "close help"},
                true,
                false,
                1},
        FlowRow{
            "quit_ends_the_program", {click(SmallButton::Quit), ESC}, {"end 0 "}, true, true, 1}),
    [](const testing::TestParamInfo<FlowRow>& row) { return std::string(row.param.name); });

TEST_F(Playing, the_score_is_plain_decimals_with_losses_less_the_start_up_one) {
    s.world.wins = 12;
    period({ESC});
    EXPECT_EQ(front_end.told, std::vector<std::string>{"open result 12 -1"});
}

TEST_F(Playing, enter_clears_the_picture_and_the_next_tick_draws_the_living_tanks_again) {
    period({});
    period({});
    period({P});
    const auto drawn = [&] {
        return std::count_if(s.picture.pixels.begin(), s.picture.pixels.end(),
                             [](std::uint32_t px) { return px != 0xFFFFFFFFu; });
    };
    ASSERT_GT(drawn(), 0);
    EXPECT_FALSE(period({press(CharCode::Enter)}));
    EXPECT_EQ(drawn(), 0);
    EXPECT_TRUE(period({P}));
    EXPECT_GT(drawn(), 0);
}

TEST_F(Playing, a_fault_ends_the_session_with_one_line_and_nothing_runs_after) {
    s.world.level = 50;
    s.world.wins = 32767;  // the player stands alone: the next tick scores one win more
    s.world.tank_hp[0] = 2;
    EXPECT_FALSE(period({}));
    EXPECT_EQ(front_end.told,
              std::vector<std::string>{
                  "end 4 the game stopped: 16-bit counter wins overflowed at 32767 + 1"});
    EXPECT_FALSE(period({ESC}));
    EXPECT_EQ(front_end.told.size(), 1u);
    EXPECT_EQ(s.periods, 1);
}

TEST_F(Playing, a_minimised_battle_takes_its_records_but_waits) {
    period({});
    EXPECT_FALSE(period({}, false));
    EXPECT_FALSE(period({F1}, false));
    EXPECT_EQ(front_end.told, std::vector<std::string>{"open help"});
    EXPECT_EQ(s.ticks, 1);
}

}  // namespace
