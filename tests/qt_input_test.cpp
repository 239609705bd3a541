// Qt's events against the key strokes and records they yield: every key the
// game names, with and without auto-repeat, and the mouse and a resize.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <memory>

#include "qt/event_translation.h"

// How a record reads in a failure message.
void PrintTo(const InputEvent& e, std::ostream* out) {
    *out << "{kind " << static_cast<int>(e.kind) << ", mouse " << static_cast<int>(e.mouse)
         << ", at " << e.x << "," << e.y << ", size " << e.width << "x" << e.height << "}";
}

namespace {

using Kind = InputKind;

struct KeyCase {
    const char* what;
    QEvent::Type type;
    Qt::Key key;
    const char* text;
    bool repeat;
    std::optional<Key> names;
    quint32 place = 0;  // the key's X key code, its place on the keyboard
};

TEST(QtInput, every_key_the_game_names_by_its_code_what_it_types_or_its_place) {
    constexpr auto Down = QEvent::KeyPress, Up = QEvent::KeyRelease;
    const KeyCase cases[] = {
        {"Left", Down, Qt::Key_Left, "", false, Key::Left},
        {"Down", Down, Qt::Key_Down, "", false, Key::Down},
        {"F1", Down, Qt::Key_F1, "", false, Key::F1},
        {"Esc", Down, Qt::Key_Escape, "\x1b", false, Key::Esc},
        {"Return", Down, Qt::Key_Return, "\r", false, Key::Enter},
        {"keypad Enter", Down, Qt::Key_Enter, "\r", false, Key::Enter},
        {"Backspace", Down, Qt::Key_Backspace, "\b", false, Key::Backspace},
        {"Home", Down, Qt::Key_Home, "", false, Key::Home},
        {"End", Down, Qt::Key_End, "", false, Key::End},
        {"p", Down, Qt::Key_P, "p", false, Key::P},
        {"P", Down, Qt::Key_P, "P", false, Key::P},
        {"Space", Down, Qt::Key_Space, " ", false, Key::Space},
        {"a full stop", Down, Qt::Key_Period, ".", false, Key::Period},
        {"-", Down, Qt::Key_Minus, "-", false, Key::Minus},
        {"+", Down, Qt::Key_Plus, "+", false, Key::Plus},
        {"=, on +'s key", Down, Qt::Key_Equal, "=", false, Key::Plus},
        {"M", Down, Qt::Key_M, "M", false, Key::M},
        {"a key the game has no name for", Down, Qt::Key_A, "a", false, std::nullopt},
        {"Left released", Up, Qt::Key_Left, "", false, Key::Left},
        {"Left repeated", Down, Qt::Key_Left, "", true, Key::Left},
        {"the release before a repeat", Up, Qt::Key_Left, "", true, std::nullopt},
        // The keys in the W, A, S and D places, whatever their letters.
        {"Z in W's place", Down, Qt::Key_Z, "z", false, Key::Up, 25},
        {"Q in A's place", Down, Qt::Key_Q, "q", false, Key::Left, 38},
        {"S in S's place", Down, Qt::Key_S, "s", false, Key::Down, 39},
        {"D released", Up, Qt::Key_D, "d", false, Key::Right, 40},
        {"A in Q's place", Down, Qt::Key_A, "a", false, std::nullopt, 24},
    };
    for (const KeyCase& c : cases) {
        const QKeyEvent event(c.type, c.key, Qt::NoModifier, c.place, 0, 0, c.text, c.repeat);
        const std::optional<KeyStroke> stroke = key_stroke(event, KeyPlace::Help);
        ASSERT_EQ(stroke.has_value(), c.names.has_value()) << c.what;
        if (!stroke) continue;
        EXPECT_EQ(*stroke, (KeyStroke{.key = *c.names,
                                      .pressed = c.type == Down,
                                      .repeat = c.repeat,
                                      .place = KeyPlace::Help}))
            << c.what;
    }
}

TEST(QtInput, mouse_buttons_and_the_pointer_yield_their_codes_in_drawing_units) {
    const QPointF at(10.5, 20.25);
    const auto mouse = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
        const QMouseEvent event(type, at, at, button, held, Qt::NoModifier);
        return translate_event(event);
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
    EXPECT_EQ(translate_event(resized),
              (InputEvent{.kind = Kind::Resize, .width = 400, .height = 300}));
}

}  // namespace
