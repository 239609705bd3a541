// The page's events against the key strokes and records they yield,
// without a browser.
#include "web/event_translation.h"

#include <gtest/gtest.h>

namespace {

TEST(WebInput, every_key_the_game_names_by_its_place_or_what_it_types) {
    const struct {
        const char* code;
        const char* key;
        std::optional<Key> names;
    } rows[] = {
        {"ArrowLeft", "ArrowLeft", Key::Left},
        {"KeyW", "z", Key::Up},
        {"KeyA", "q", Key::Left},
        {"KeyS", "s", Key::Down},
        {"KeyD", "d", Key::Right},
        {"KeyQ", "a", {}},
        {"F1", "F1", Key::F1},
        {"NumpadEnter", "Enter", Key::Enter},
        {"Escape", "Escape", Key::Esc},
        {"KeyP", "P", Key::P},
        {"Space", " ", Key::Space},
        {"Period", ".", Key::Period},
        {"Minus", "-", Key::Minus},
        {"Equal", "=", Key::Plus},
        {"Equal", "+", Key::Plus},
        {"Home", "Home", Key::Home},
        {"End", "End", Key::End},
        {"KeyM", "m", Key::M},
        {"Backspace", "Backspace", Key::Backspace},
        {"Tab", "Tab", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(browser_key(row.code, row.key), row.names) << row.code;
}

TEST(WebInput, the_pointer_and_its_buttons_yield_their_codes) {
    const auto mouse = [](MouseType type, int button, int buttons) {
        return browser_mouse(
            {.type = type, .button = button, .buttons = buttons, .x = 10.5f, .y = 2});
    };
    const auto record = [](InputKind kind, MouseButton button) {
        return InputEvent{.kind = kind, .mouse = button, .x = 10.5f, .y = 2};
    };
    EXPECT_EQ(mouse(MouseType::Down, 0, 1), record(InputKind::MouseDown, MouseButton::Left));
    EXPECT_EQ(mouse(MouseType::Down, 2, 3), record(InputKind::MouseDown, MouseButton::Right));
    EXPECT_EQ(mouse(MouseType::Up, 1, 0), record(InputKind::MouseUp, MouseButton::Middle));
    EXPECT_EQ(mouse(MouseType::Move, 0, 3),
              record(InputKind::MouseMove, static_cast<MouseButton>(3)));
}

// A sequence of touches against the records it yields, one step at a time.
TEST(WebInput, touches_drive_aim_and_fire_as_keys_and_buttons_do) {
    using enum TouchPhase;
    const auto key = [](bool pressed, Key k) {
        return Touched{{{.key = k, .pressed = pressed}}, {}};
    };
    const auto pointer = [](std::vector<InputEvent> records) { return Touched{{}, records}; };
    const auto mouse = [](InputKind kind, int button, float x, float y) {
        return InputEvent{.kind = kind, .mouse = static_cast<MouseButton>(button), .x = x, .y = y};
    };
    using Records = Touched;
    struct Step {
        const char* what;
        TouchEvent touch;
        Records yields;
    };
    const Step steps[] = {
        {"a thumb in the pad's middle", {Start, 7, true, 0.1f, -0.1f}, {}},
        {"slides up", {Move, 7, true, 0.3f, -0.8f}, key(true, Key::Up)},
        {"a second thumb on the pad", {Start, 8, true, 0.9f, 0}, {}},
        {"slides between up and left, holding both",
         {Move, 7, true, -0.5f, -0.6f},
         key(true, Key::Left)},
        {"slides left, past the pad's edge", {Move, 7, true, -1.5f, 0.2f}, key(false, Key::Up)},
        {"a finger on the field",
         {Start, 3, false, 100, 50},
         pointer(
             {mouse(InputKind::MouseMove, 0, 100, 50), mouse(InputKind::MouseDown, 1, 100, 50)})},
        {"moves", {Move, 3, false, 120, 60}, pointer({mouse(InputKind::MouseMove, 1, 120, 60)})},
        {"a second finger",
         {Start, 4, false, 300, 200},
         pointer(
             {mouse(InputKind::MouseMove, 1, 300, 200), mouse(InputKind::MouseDown, 2, 300, 200)})},
        {"a third finger", {Start, 5, false, 1, 1}, {}},
        {"the second lifts",
         {End, 4, false, 300, 200},
         pointer(
             {mouse(InputKind::MouseUp, 2, 300, 200), mouse(InputKind::MouseMove, 1, 120, 60)})},
        {"the first lifts",
         {End, 3, false, 121, 61},
         pointer({mouse(InputKind::MouseUp, 1, 121, 61)})},
        {"the thumb lifts", {End, 7, true, -1.5f, 0.2f}, key(false, Key::Left)},
        {"a tap, as quick as a click",
         {Start, 9, false, 5, 6},
         pointer({mouse(InputKind::MouseMove, 0, 5, 6), mouse(InputKind::MouseDown, 1, 5, 6)})},
        {"ends", {End, 9, false, 5, 6}, pointer({mouse(InputKind::MouseUp, 1, 5, 6)})},
    };
    TouchState state;
    for (const Step& step : steps)
        EXPECT_EQ(translate_touch(state, step.touch), step.yields) << step.what;
    EXPECT_EQ(pad_arrows(0, 0.9f), std::vector{Key::Down});
    EXPECT_EQ(pad_arrows(0.9f, 0.2f), std::vector{Key::Right});
    EXPECT_EQ(pad_arrows(0.6f, 0.5f), (std::vector{Key::Down, Key::Right}));
    EXPECT_EQ(pad_arrows(0.1f, 0.1f), std::vector<Key>{});
}

}  // namespace
