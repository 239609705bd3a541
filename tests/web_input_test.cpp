// The page's events against the input records they yield, in each part of
// the page, without a browser.
#include "web/event_translation.h"

#include <gtest/gtest.h>

namespace {

using Type = BrowserEventType;
using Part = PagePart;

InputEvent down(KeyCode key) {
    return {.kind = InputKind::KeyDown, .key = key};
}
InputEvent press(CharCode character) {
    return {.kind = InputKind::KeyPress, .character = character};
}

struct KeyRow {
    const char* what;
    Type type;
    const char* code;
    const char* key;
    bool repeat;
    Part part;
    std::optional<InputEvent> yields;
};

TEST(WebInput, every_key_the_game_knows_yields_its_record_in_its_part_of_the_page) {
    const KeyRow rows[] = {
        {"Left", Type::KeyDown, "ArrowLeft", "ArrowLeft", false, Part::Field, down(KeyCode::Left)},
        {"Down held", Type::KeyDown, "ArrowDown", "ArrowDown", true, Part::Field,
         down(KeyCode::Down)},
        {"Up released", Type::KeyUp, "ArrowUp", "ArrowUp", false, Part::Field,
         InputEvent{.kind = InputKind::KeyUp, .key = KeyCode::Up}},
        {"Z in W's place", Type::KeyDown, "KeyW", "z", false, Part::Field, down(KeyCode::Up)},
        {"Q in A's place", Type::KeyDown, "KeyA", "q", false, Part::Field, down(KeyCode::Left)},
        {"S", Type::KeyDown, "KeyS", "s", false, Part::Field, down(KeyCode::Down)},
        {"D", Type::KeyDown, "KeyD", "d", false, Part::Field, down(KeyCode::Right)},
        {"A in Q's place", Type::KeyDown, "KeyQ", "a", false, Part::Field, std::nullopt},
        {"F1", Type::KeyDown, "F1", "F1", false, Part::Field, down(KeyCode::F1)},
        {"F1 held", Type::KeyDown, "F1", "F1", true, Part::Field, std::nullopt},
        {"F1 released", Type::KeyUp, "F1", "F1", false, Part::Field, std::nullopt},
        {"p", Type::KeyDown, "KeyP", "p", false, Part::Field, press(CharCode::LowerP)},
        {"P", Type::KeyDown, "KeyP", "P", false, Part::Field, press(CharCode::UpperP)},
        {"p held", Type::KeyDown, "KeyP", "p", true, Part::Field, std::nullopt},
        {"Enter", Type::KeyDown, "NumpadEnter", "Enter", false, Part::Field,
         press(CharCode::Enter)},
        {"Esc", Type::KeyDown, "Escape", "Escape", false, Part::Field, press(CharCode::Esc)},
        {"Space", Type::KeyDown, "Space", " ", false, Part::Field, std::nullopt},
        {"Esc in Result", Type::KeyDown, "Escape", "Escape", false, Part::Result,
         press(CharCode::Esc)},
        {"Esc in Help", Type::KeyDown, "Escape", "Escape", false, Part::Help,
         InputEvent{.kind = InputKind::Click, .button = SmallButton::Close}},
        {"F1 in Help", Type::KeyDown, "F1", "F1", false, Part::Help, down(KeyCode::F1)},
        {"F1 in Result", Type::KeyDown, "F1", "F1", false, Part::Result, std::nullopt},
        {"p in Help", Type::KeyDown, "KeyP", "p", false, Part::Help, std::nullopt},
        {"Up in Result", Type::KeyDown, "ArrowUp", "ArrowUp", false, Part::Result, std::nullopt},
        {"W in Result", Type::KeyDown, "KeyW", "w", false, Part::Result, std::nullopt},
        {"Enter in Result", Type::KeyDown, "Enter", "Enter", false, Part::Result, std::nullopt},
        {"Left held in a replay", Type::KeyDown, "ArrowLeft", "ArrowLeft", true, Part::Replay,
         viewer_record(ViewerCommand::Back)},
        {"m in a replay", Type::KeyDown, "KeyM", "m", false, Part::Replay,
         InputEvent{.kind = InputKind::Mute}},
        {"m held in a replay", Type::KeyDown, "KeyM", "m", true, Part::Replay, std::nullopt},
    };
    for (const KeyRow& row : rows) {
        const BrowserEvent event{
            .type = row.type, .code = row.code, .key = row.key, .repeat = row.repeat};
        EXPECT_EQ(translate_browser_event(event, row.part), row.yields) << row.what;
    }
}

TEST(WebInput, the_pointer_and_its_buttons_yield_their_codes) {
    const auto mouse = [](Type type, int button, int buttons) {
        return translate_browser_event(
            {.type = type, .button = button, .buttons = buttons, .x = 10.5f, .y = 2}, Part::Field);
    };
    const auto record = [](InputKind kind, MouseButton button) {
        return InputEvent{.kind = kind, .mouse = button, .x = 10.5f, .y = 2};
    };
    EXPECT_EQ(mouse(Type::MouseDown, 0, 1), record(InputKind::MouseDown, MouseButton::Left));
    EXPECT_EQ(mouse(Type::MouseDown, 2, 3), record(InputKind::MouseDown, MouseButton::Right));
    EXPECT_EQ(mouse(Type::MouseUp, 1, 0), record(InputKind::MouseUp, MouseButton::Middle));
    EXPECT_EQ(mouse(Type::MouseMove, 0, 3),
              record(InputKind::MouseMove, static_cast<MouseButton>(3)));
}

// A sequence of touches against the records it yields, one step at a time.
TEST(WebInput, touches_drive_aim_and_fire_as_keys_and_buttons_do) {
    using enum TouchPhase;
    const auto key = [](InputKind kind, KeyCode k) { return InputEvent{.kind = kind, .key = k}; };
    const auto mouse = [](InputKind kind, int button, float x, float y) {
        return InputEvent{.kind = kind, .mouse = static_cast<MouseButton>(button), .x = x, .y = y};
    };
    using Records = std::vector<InputEvent>;
    struct Step {
        const char* what;
        TouchEvent touch;
        Records yields;
    };
    const Step steps[] = {
        {"a thumb in the pad's middle", {Start, 7, true, 0.1f, -0.1f}, {}},
        {"slides up", {Move, 7, true, 0.3f, -0.8f}, {key(InputKind::KeyDown, KeyCode::Up)}},
        {"a second thumb on the pad", {Start, 8, true, 0.9f, 0}, {}},
        {"slides between up and left, holding both",
         {Move, 7, true, -0.5f, -0.6f},
         {key(InputKind::KeyDown, KeyCode::Left)}},
        {"slides left, past the pad's edge",
         {Move, 7, true, -1.5f, 0.2f},
         {key(InputKind::KeyUp, KeyCode::Up)}},
        {"a finger on the field",
         {Start, 3, false, 100, 50},
         {mouse(InputKind::MouseMove, 0, 100, 50), mouse(InputKind::MouseDown, 1, 100, 50)}},
        {"moves", {Move, 3, false, 120, 60}, {mouse(InputKind::MouseMove, 1, 120, 60)}},
        {"a second finger",
         {Start, 4, false, 300, 200},
         {mouse(InputKind::MouseMove, 1, 300, 200), mouse(InputKind::MouseDown, 2, 300, 200)}},
        {"a third finger", {Start, 5, false, 1, 1}, {}},
        {"the second lifts",
         {End, 4, false, 300, 200},
         {mouse(InputKind::MouseUp, 2, 300, 200), mouse(InputKind::MouseMove, 1, 120, 60)}},
        {"the first lifts", {End, 3, false, 121, 61}, {mouse(InputKind::MouseUp, 1, 121, 61)}},
        {"the thumb lifts", {End, 7, true, -1.5f, 0.2f}, {key(InputKind::KeyUp, KeyCode::Left)}},
        {"a tap, as quick as a click",
         {Start, 9, false, 5, 6},
         {mouse(InputKind::MouseMove, 0, 5, 6), mouse(InputKind::MouseDown, 1, 5, 6)}},
        {"ends", {End, 9, false, 5, 6}, {mouse(InputKind::MouseUp, 1, 5, 6)}},
    };
    TouchState state;
    for (const Step& step : steps)
        EXPECT_EQ(translate_touch(state, step.touch), step.yields) << step.what;
    EXPECT_EQ(pad_arrows(0, 0.9f), std::vector{KeyCode::Down});
    EXPECT_EQ(pad_arrows(0.9f, 0.2f), std::vector{KeyCode::Right});
    EXPECT_EQ(pad_arrows(0.6f, 0.5f), (std::vector{KeyCode::Down, KeyCode::Right}));
    EXPECT_EQ(pad_arrows(0.1f, 0.1f), std::vector<KeyCode>{});
}

}  // namespace
