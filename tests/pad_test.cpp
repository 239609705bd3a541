// A game pad on the desktop: a virtual controller of SDL's own goes through
// SDL's event path and the game's mapping, in the battle window's own
// periods. It drives, aims and fires, opens the score and presses "Back" in
// it, and going away pauses the battle; the battle kept replays whole.
#include <SDL.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "qt/main_window.h"

namespace {

constexpr Sint16 FULL = 32767;

struct PadPlay : testing::Test {
    Match match;
    const std::string kept = std::filesystem::temp_directory_path() / "quenmar-pad.battle";
    BattleKeeper keeper{kept};
    MainWindow window{match, keeper};
    const GameWorld& w = match.session.world;
    SDL_Joystick* pad = nullptr;
    int index = -1;

    void SetUp() override {
        window.take_pads();
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        index = SDL_JoystickAttachVirtualEx(&desc);
        pad = SDL_JoystickOpen(index);
        ASSERT_NE(pad, nullptr) << SDL_GetError();
        match_start_game(match, window, random_from_seed(9), DESIGN_WIDTH, DESIGN_HEIGHT, 1);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.level == 1; }, 5000));
    }
    void TearDown() override {
        if (pad != nullptr) SDL_JoystickClose(pad);
        if (index >= 0) SDL_JoystickDetachVirtual(index);
    }
    void axis(SDL_GameControllerAxis which, Sint16 value) {
        SDL_JoystickSetVirtualAxis(pad, which, value);
    }
    // A button pressed, and let go some periods later.
    void press(SDL_GameControllerButton button) {
        SDL_JoystickSetVirtualButton(pad, button, 1);
        QTest::qWait(100);
        SDL_JoystickSetVirtualButton(pad, button, 0);
        QTest::qWait(100);
    }
};

TEST_F(PadPlay, drives_aims_fires_opens_the_score_presses_back_and_pauses_when_it_goes) {
    const float heading = w.tank_dir[0];
    axis(SDL_CONTROLLER_AXIS_LEFTY, -FULL);
    axis(SDL_CONTROLLER_AXIS_LEFTX, -FULL);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return w.tank_speed[0] > 1 && w.tank_dir[0] > heading + 0.5f; }, 5000))
        << "the left stick speeds up and turns";
    axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    axis(SDL_CONTROLLER_AXIS_RIGHTX, FULL);  // all the way: the farthest aim
    const auto aimed = [&] {
        return std::abs(w.mouse_x - (w.tank_x[0] + PAD_AIM_FARTHEST)) <= 2 &&
               std::abs(w.mouse_y - w.tank_y[0]) <= 2;
    };
    EXPECT_TRUE(QTest::qWaitFor(aimed, 5000))
        << w.mouse_x << "," << w.mouse_y << " from " << w.tank_x[0];
    axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, FULL);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.shell_state[0] >= 2; }, 5000))
        << "the trigger fires";
    axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);

    press(SDL_CONTROLLER_BUTTON_START);
    ResultWindow& result = window.result_window();
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.isActiveWindow(); }, 5000));
    press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_EQ(result.focusWidget(), result.next_level_button);
    press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !result.isVisible() && match.session.controls.battle_timer_running; }, 5000))
        << "A pressed Back";
    EXPECT_EQ(w.level, 1);

    axis(SDL_CONTROLLER_AXIS_LEFTY, -FULL);
    QTest::qWait(200);
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(index);
    pad = nullptr;
    index = -1;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !match.session.controls.battle_timer_running; }, 5000))
        << "gone, it pauses the battle";
    EXPECT_EQ(w.key_up, 0) << "and lets go of what it held";

    // The battle kept, fought again by quenmar-sim: every checkpoint holds.
    match_close(match);
    QTest::qWait(100);
    const std::string fought = "\"" QUENMAR_SIM "\" --battle \"" + kept + "\" 2>&1";
    std::FILE* sim = ::popen(fought.c_str(), "r");
    char said[512] = "";
    ASSERT_NE(std::fgets(said, sizeof said, sim), nullptr);
    EXPECT_EQ(::pclose(sim), 0) << said;
    EXPECT_NE(std::string(said).find("every checkpoint held"), std::string::npos) << said;
}

}  // namespace
