// Qt's events against the input records they yield, for every key and button
// the game knows, with and without auto-repeat, in each of its windows.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <memory>

#include "qt/event_translation.h"

// How a record reads in a failure message.
void PrintTo(const InputEvent& e, std::ostream* out) {
    *out << "{kind " << static_cast<int>(e.kind) << ", key " << static_cast<int>(e.key)
         << ", character " << static_cast<int>(e.character) << ", mouse "
         << static_cast<int>(e.mouse) << ", shift " << e.shift << ", at " << e.x << "," << e.y
         << ", button " << static_cast<int>(e.button) << ", size " << e.width << "x" << e.height
         << "}";
}

namespace {

using Kind = InputKind;
using Source = EventSource;

std::optional<InputEvent> none() {
    return std::nullopt;
}
InputEvent down(KeyCode key) {
    return {.kind = Kind::KeyDown, .key = key};
}
InputEvent up(KeyCode key) {
    return {.kind = Kind::KeyUp, .key = key};
}
InputEvent press(CharCode character, std::int16_t shift = 0) {
    return {.kind = Kind::KeyPress, .character = character, .shift = shift};
}

struct KeyCase {
    const char* what;
    QEvent::Type type;
    Qt::Key key;
    const char* text;
    bool repeat;
    Source source;
    std::optional<InputEvent> yields;
    quint32 place = 0;  // the key's X key code, its place on the keyboard
};

TEST(QtInput, every_key_the_game_knows_yields_its_record_or_none) {
    constexpr auto Down = QEvent::KeyPress, Up = QEvent::KeyRelease;
    const KeyCase cases[] = {
        {"Left", Down, Qt::Key_Left, "", false, Source::Battle, down(KeyCode::Left)},
        {"Up", Down, Qt::Key_Up, "", false, Source::Battle, down(KeyCode::Up)},
        {"Right", Down, Qt::Key_Right, "", false, Source::Battle, down(KeyCode::Right)},
        {"Down", Down, Qt::Key_Down, "", false, Source::Battle, down(KeyCode::Down)},
        {"F1", Down, Qt::Key_F1, "", false, Source::Battle, down(KeyCode::F1)},
        {"Esc", Down, Qt::Key_Escape, "\x1b", false, Source::Battle, press(CharCode::Esc)},
        {"Return", Down, Qt::Key_Return, "\r", false, Source::Battle, press(CharCode::Enter)},
        {"keypad Enter", Down, Qt::Key_Enter, "\r", false, Source::Battle, press(CharCode::Enter)},
        {"p", Down, Qt::Key_P, "p", false, Source::Battle, press(CharCode::LowerP)},
        {"a key the game ignores", Down, Qt::Key_A, "a", false, Source::Battle, none()},
        {"Left released", Up, Qt::Key_Left, "", false, Source::Battle, up(KeyCode::Left)},
        {"Up released", Up, Qt::Key_Up, "", false, Source::Battle, up(KeyCode::Up)},
        {"Right released", Up, Qt::Key_Right, "", false, Source::Battle, up(KeyCode::Right)},
        {"Down released", Up, Qt::Key_Down, "", false, Source::Battle, up(KeyCode::Down)},
        {"Esc released", Up, Qt::Key_Escape, "\x1b", false, Source::Battle, none()},
        // A held key: arrows keep saying they are down, the rest act once.
        {"Left repeated", Down, Qt::Key_Left, "", true, Source::Battle, down(KeyCode::Left)},
        {"Down repeated", Down, Qt::Key_Down, "", true, Source::Battle, down(KeyCode::Down)},
        {"Left repeat release", Up, Qt::Key_Left, "", true, Source::Battle, none()},
        {"F1 repeated", Down, Qt::Key_F1, "", true, Source::Battle, none()},
        {"Esc repeated", Down, Qt::Key_Escape, "\x1b", true, Source::Battle, none()},
        {"p repeated", Down, Qt::Key_P, "p", true, Source::Battle, none()},
        {"Return repeated", Down, Qt::Key_Return, "\r", true, Source::Battle, none()},
        // In the small windows only their own keys act: Esc closes the window
        // it is pressed in, F1 Help; Enter is the buttons'.
        {"Right in Result", Down, Qt::Key_Right, "", false, Source::Result, none()},
        {"Up released in Help", Up, Qt::Key_Up, "", false, Source::Help, none()},
        {"F1 in Help", Down, Qt::Key_F1, "", false, Source::Help, down(KeyCode::F1)},
        {"F1 in Result", Down, Qt::Key_F1, "", false, Source::Result, none()},
        {"p in Result", Down, Qt::Key_P, "p", false, Source::Result, none()},
        {"Esc in Result", Down, Qt::Key_Escape, "\x1b", false, Source::Result,
         press(CharCode::Esc)},
        {"Esc in Help", Down, Qt::Key_Escape, "\x1b", false, Source::Help,
         InputEvent{.kind = Kind::Click, .button = SmallButton::Close}},
        {"Return in Result", Down, Qt::Key_Return, "\r", false, Source::Result, none()},
        {"Return in Help", Down, Qt::Key_Return, "\r", false, Source::Help, none()},
        // The keys in the W, A, S and D places, whatever their letters.
        {"Z in W's place", Down, Qt::Key_Z, "z", false, Source::Battle, down(KeyCode::Up), 25},
        {"Q in A's place", Down, Qt::Key_Q, "q", false, Source::Battle, down(KeyCode::Left), 38},
        {"S in S's place", Down, Qt::Key_S, "s", false, Source::Battle, down(KeyCode::Down), 39},
        {"D released", Up, Qt::Key_D, "d", false, Source::Battle, up(KeyCode::Right), 40},
        {"A in Q's place", Down, Qt::Key_A, "a", false, Source::Battle, none(), 24},
    };
    for (const KeyCase& c : cases) {
        const QKeyEvent event(c.type, c.key, Qt::NoModifier, c.place, 0, 0, c.text, c.repeat);
        EXPECT_EQ(translate_event(event, c.source), c.yields) << c.what;
    }
    const QKeyEvent shifted(QEvent::KeyPress, Qt::Key_P, Qt::ShiftModifier, "P");
    EXPECT_EQ(translate_event(shifted, Source::Battle), press(CharCode::UpperP, 1));
}

TEST(QtInput, mouse_buttons_and_the_pointer_yield_their_codes_in_drawing_units) {
    const QPointF at(10.5, 20.25);
    const auto mouse = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
        const QMouseEvent event(type, at, at, button, held, Qt::NoModifier);
        return translate_event(event, Source::Battle);
    };
    const auto expected = [](Kind kind, MouseButton button) {
        return InputEvent{.kind = kind, .mouse = button, .x = 10.5f, .y = 20.25f};
    };
    EXPECT_EQ(mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton),
              expected(Kind::MouseDown, MouseButton::Left));
    EXPECT_EQ(mouse(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton),
              expected(Kind::MouseDown, MouseButton::Right));
    EXPECT_EQ(mouse(QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton),
              expected(Kind::MouseUp, MouseButton::Middle));
    EXPECT_EQ(mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton),
              expected(Kind::MouseMove, static_cast<MouseButton>(3)));
    const QResizeEvent resized(QSize(400, 300), QSize(723, 651));
    EXPECT_EQ(translate_event(resized, Source::Battle),
              (InputEvent{.kind = Kind::Resize, .width = 400, .height = 300}));
}

}  // namespace
