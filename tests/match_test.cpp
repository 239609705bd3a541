// A replay as its viewer drives it, on a battle kept by the desktop game:
// its speeds, its pause and step, and jumps that land on the battle as
// watching it to that period shows it; and where a changed file parts.
#include "match/match.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/headless.h"

namespace {

const std::string KEPT = SOURCE_DIR "/tests/battles/desktop.battle";
constexpr int KEPT_PERIODS = 1453;

std::string text_of(const std::string& path) {
    return (std::ostringstream() << std::ifstream(path).rdbuf()).str();
}

// A front end that notes the small windows open, the replay's line and how
// the match ended.
struct Viewer final : HeadlessFrontEnd {
    bool result_open = false, help_open = false;
    std::string line;
    std::optional<int> ended;
    void open_result_window(ResultScore) override { result_open = true; }
    void open_help_window() override { help_open = true; }
    void close_small_window(SmallWindow w) override {
        (w == SmallWindow::Result ? result_open : help_open) = false;
    }
    void show_replay(std::string_view l, int, int) override { line = l; }
    bool says(const char* note) const { return line.ends_with(note); }
    void end_program(int status, std::string_view) override { ended = status; }
};

struct Replaying : testing::Test {
    Viewer viewer;
    Match m;
    void SetUp() override { start(text_of(KEPT)); }
    void start(const std::string& bytes) {
        match_start_replay(m, viewer, read_battle(bytes, "kept.battle"));
    }
    void press(Key key, int times = 1) {
        for (int i = 0; i < times; ++i)
            match_key(m, {.key = key});
    }
    int period() const { return static_cast<int>(m.session.periods); }
    // The battle's world and picture at every period, watched to the end.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> watch();
    // Timer periods until a jump still being fought has landed.
    void until_landed() {
        while (m.viewer.heading_to >= 0)
            match_run_period(m);
    }
};

std::uint64_t picture_hash(const Surface& picture) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const std::uint32_t pixel : picture.pixels)
        hash = (hash ^ pixel) * 0x100000001b3ULL;
    return hash;
}

std::vector<std::pair<std::uint64_t, std::uint64_t>> Replaying::watch() {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> watched{
        {world_hash(m.session), picture_hash(m.session.picture)}};
    while (m.replay->state == ReplayState::Running) {
        match_run_period(m);
        watched.emplace_back(world_hash(m.session), picture_hash(m.session.picture));
    }
    return watched;
}

// Brought back where it was cut off, the battle stands there paused with
// the picture watching shows, fought blind, and so does every jump back.
TEST_F(Replaying, a_battle_brought_back_shows_what_watching_shows_there_and_where_it_jumps) {
    const auto watched = watch();
    const std::string kept = text_of(KEPT);
    ASSERT_TRUE(
        match_bring_back(m, viewer, kept.substr(0, kept.find("1411 click")) + "1415 ke", "kept")
            .back);
    for (const int to : {1410, 1410, 390, 1000, 0, 812}) {
        if (to != period()) match_seek(m, to);
        until_landed();
        EXPECT_EQ(watched[static_cast<std::size_t>(to)],
                  std::pair(world_hash(m.session), picture_hash(m.session.picture)))
            << "period " << to;
    }
    EXPECT_TRUE(viewer.says(BROUGHT_BACK));
}

TEST_F(Replaying, each_speed_runs_its_periods_a_timer_period_and_stops_at_the_slowest_and_fastest) {
    const struct {
        Key press;
        int times;
        const char* speed;
        int periods_in_12;  // battle periods in twelve timer periods
    } rows[] = {{Key::Plus, 0, "1 ×", 12},  {Key::Plus, 1, "2 ×", 24}, {Key::Plus, 9, "8 ×", 96},
                {Key::Minus, 3, "1 ×", 12}, {Key::Minus, 1, "½ ×", 6}, {Key::Minus, 9, "¼ ×", 3}};
    for (const auto& row : rows) {
        press(row.press, row.times);
        const int before = period();
        for (int i = 0; i < 12; ++i)
            match_run_period(m);
        EXPECT_EQ(REPLAY_SPEEDS[replay_standing(m).speed].name, std::string(row.speed));
        EXPECT_EQ(period() - before, row.periods_in_12) << row.speed;
    }
}

// Paused, it stands and is silent, and each step runs one period unheard.
TEST_F(Replaying, paused_it_stands_silent_and_each_step_runs_one_period) {
    for (int i = 0; i < 90; ++i)
        match_run_period(m);  // two enemy shots and a burst
    EXPECT_EQ(m.mixer.started[static_cast<std::size_t>(Sound::EnemyShot)], 2)
        << "it plays its battle's sounds";
    EXPECT_EQ(m.mixer.started[static_cast<std::size_t>(Sound::Burst)], 1);
    press(Key::Space);
    const auto started = m.mixer.started;
    for (int i = 0; i < 5; ++i)
        match_run_period(m);
    EXPECT_EQ(period(), 90);
    EXPECT_TRUE(viewer.says(REPLAY_PAUSED)) << viewer.line;
    std::vector<float> frames(2 * SAMPLE_RATE / 40);
    match_sound(m, frames);
    EXPECT_TRUE(std::all_of(frames.begin(), frames.end(), [](float f) { return f == 0; }))
        << "paused, silent";
    press(Key::Period, 15);  // over a shot and a burst, unheard
    EXPECT_EQ(period(), 105);
    EXPECT_EQ(m.mixer.started, started);
    press(Key::P);
    match_run_period(m);
    EXPECT_EQ(period(), 106);
    EXPECT_TRUE(viewer.line.ends_with("1 ×")) << viewer.line;
}

// Watched to its end, the battle's world and picture at every period; then
// jumps about it, each landing on what watching showed there, with the small
// windows the battle had open there. A battle's own records change nothing.
TEST_F(Replaying, a_jump_lands_on_the_world_and_picture_that_watching_shows_there) {
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> watched = watch();
    ASSERT_EQ(period(), KEPT_PERIODS);
    EXPECT_TRUE(viewer.says(REPLAY_OVER)) << viewer.line;

    start(text_of(KEPT));
    press(Key::P);
    match_take(m, {.kind = InputKind::Click, .button = SmallButton::Quit});
    match_take(m, {.kind = InputKind::KeyPress, .character = CharCode::Esc});
    match_key(m, {.key = Key::Up, .place = KeyPlace::Result});
    const struct {
        std::optional<Key> press;  // none: the position bar, set to `lands`
        int times;                 // pressed at once, while a jump may still be fought
        int lands;
    } jumps[] = {{Key::Right, 2, 800},           {Key::Left, 1, 400}, {{}, 0, 1373},
                 {Key::End, 1, KEPT_PERIODS},    {Key::Home, 1, 0},   {{}, 0, 1452},
                 {Key::Period, 1, KEPT_PERIODS}, {{}, 0, 99999},      {Key::Backspace, 1, 1053}};
    for (const auto& jump : jumps) {
        if (jump.press) {
            press(*jump.press, jump.times);
        } else {
            match_seek(m, jump.lands);
        }
        until_landed();
        const int at = period();
        ASSERT_EQ(at, std::min(jump.lands, KEPT_PERIODS));
        EXPECT_EQ(watched[static_cast<std::size_t>(at)],
                  std::pair(world_hash(m.session), picture_hash(m.session.picture)))
            << "period " << at;
        EXPECT_EQ(viewer.result_open, m.session.controls.result_window_open) << "period " << at;
        EXPECT_EQ(viewer.help_open, m.session.controls.help_window_open) << "period " << at;
    }
    EXPECT_LE(m.kept.size(), 4u) << "one state every 400 periods fought";
    // A state kept at another display scale comes back at this one.
    match_set_display_scale(m, 2);
    press(Key::Home);
    EXPECT_EQ(m.session.picture.width, 2 * m.session.picture.area_width);
}

TEST_F(Replaying, over_it_stands_on_the_end_until_esc_ends_it) {
    press(Key::End);
    until_landed();
    match_run_period(m);
    EXPECT_EQ(period(), KEPT_PERIODS);
    EXPECT_FALSE(viewer.ended) << "the recorded Quit leaves the replay standing";
    press(Key::Esc);
    EXPECT_EQ(viewer.ended, std::optional(0));
}

// The kept battle, changed: where the replay parts from it, if anywhere. In
// its link form it is the same battle.
TEST_F(Replaying, a_changed_file_parts_at_the_first_checkpoint_or_set_up_after_the_change) {
    const struct {
        const char* what;
        const char* line;
        const char* changed;
        int parts;  // 0: it does not part
    } rows[] = {{"as kept", "", "", 0},
                {"in its link form", "", "", 0},
                {"a checkpoint", "800 check c691b0ec4244c534", "800 check c691b0ec4244c535", 800},
                {"a pointer after the last 400-period checkpoint", "1247 mouse_move 0 312 84",
                 "1247 mouse_move 0 313 84", KEPT_PERIODS},
                {"a level's seed dropped", "848 seed 1145497342\n", "", 848}};
    for (const auto& row : rows) {
        std::string text = text_of(KEPT);
        if (*row.line != '\0')
            text.replace(text.find(row.line), std::string(row.line).size(), row.changed);
        if (row.what == std::string("in its link form")) {
            text = battle_link(read_battle(text, "kept.battle"));
            ASSERT_LT(text.size(), text_of(KEPT).size() / 4);
        }
        start(text);
        while (!viewer.ended && m.replay->state == ReplayState::Running)
            match_run_period(m);
        EXPECT_EQ(viewer.ended, row.parts ? std::optional(BATTLES_PARTED_STATUS) : std::nullopt)
            << row.what;
        EXPECT_EQ(period(), row.parts ? row.parts : KEPT_PERIODS) << row.what;
        viewer.ended.reset();
    }
}

// What a key hands the battle where the keyboard is, pressed, held and let
// go, and whether the front end is to pass it on instead.
TEST(PlayedMatch, each_key_hands_the_battle_its_record_where_the_keyboard_is) {
    const auto key = [](InputKind kind, KeyCode code) {
        return InputEvent{.kind = kind, .key = code};
    };
    const auto press = [](CharCode c) {
        return InputEvent{.kind = InputKind::KeyPress, .character = c};
    };
    const InputEvent close{.kind = InputKind::Click, .button = SmallButton::Close};
    const struct {
        KeyStroke stroke;
        std::optional<InputEvent> record;
        bool taken;
    } rows[] = {
        {{.key = Key::Up}, key(InputKind::KeyDown, KeyCode::Up), true},
        {{.key = Key::Left, .repeat = true}, key(InputKind::KeyDown, KeyCode::Left), true},
        {{.key = Key::Down, .pressed = false}, key(InputKind::KeyUp, KeyCode::Down), true},
        {{.key = Key::F1}, key(InputKind::KeyDown, KeyCode::F1), true},
        {{.key = Key::F1, .repeat = true}, {}, true},
        {{.key = Key::P, .repeat = true}, {}, true},
        {{.key = Key::P}, press(CharCode::LowerP), true},
        {{.key = Key::Enter}, press(CharCode::Enter), true},
        {{.key = Key::Esc, .pressed = false}, {}, true},
        {{.key = Key::Space}, {}, false},
        {{.key = Key::Esc, .place = KeyPlace::Result}, press(CharCode::Esc), true},
        {{.key = Key::Esc, .place = KeyPlace::Help}, close, true},
        {{.key = Key::F1, .place = KeyPlace::Help}, key(InputKind::KeyDown, KeyCode::F1), true},
        {{.key = Key::F1, .place = KeyPlace::Result}, {}, true},
        {{.key = Key::Up, .place = KeyPlace::Help}, {}, false},
        {{.key = Key::Enter, .place = KeyPlace::Result}, {}, false},
    };
    for (const auto& row : rows) {
        HeadlessBattle battle(random_from_seed(3));
        EXPECT_EQ(match_key(battle.match, row.stroke), row.taken)
            << static_cast<int>(row.stroke.key);
        const std::vector<InputEvent>& waiting = battle.session.waiting;
        EXPECT_EQ(waiting.empty() ? std::nullopt : std::optional(waiting.back()), row.record)
            << static_cast<int>(row.stroke.key) << " in " << static_cast<int>(row.stroke.place);
    }
}

// A battle being played takes no viewer's keys: p pauses it, Esc there
// shows the score; Space does nothing. Paused, the engine falls silent.
TEST(PlayedMatch, a_battle_being_played_takes_its_own_keys_and_pauses_silent) {
    HeadlessBattle battle(random_from_seed(3));
    Match& m = battle.match;
    match_key(m, {.key = Key::Up});
    for (int i = 0; i < 20; ++i)
        match_run_period(m);
    ASSERT_TRUE(mixer_sounding(m.mixer)) << "the engine runs";
    EXPECT_FALSE(match_key(m, {.key = Key::Space}));
    match_key(m, {.key = Key::P});
    for (int i = 0; i < 3; ++i)
        match_run_period(m);
    std::vector<float> frames(2 * SAMPLE_RATE);
    match_sound(m, frames);
    EXPECT_EQ(frames[frames.size() - 2], 0.0f) << "the engine hums on while paused";
    EXPECT_FALSE(battle.session.controls.battle_timer_running);
    match_key(m, {.key = Key::Esc});
    match_run_period(m);
    EXPECT_TRUE(battle.session.controls.result_window_open);
    EXPECT_FALSE(m.ended);
}

}  // namespace
