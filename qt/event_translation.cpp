#include "qt/event_translation.h"

#include <QMouseEvent>
#include <QResizeEvent>
#include <utility>

namespace {

// The X and XKB key codes of the keys in the W, A, S and D places, as both
// X11 and Wayland report them.
constexpr std::pair<quint32, Key> PLACES[] = {
    {25, Key::Up}, {38, Key::Left}, {39, Key::Down}, {40, Key::Right}};

// Keys by Qt's code.
constexpr std::pair<int, Key> NAMED[] = {{Qt::Key_Left, Key::Left},
                                         {Qt::Key_Up, Key::Up},
                                         {Qt::Key_Right, Key::Right},
                                         {Qt::Key_Down, Key::Down},
                                         {Qt::Key_F1, Key::F1},
                                         {Qt::Key_Return, Key::Enter},
                                         {Qt::Key_Enter, Key::Enter},
                                         {Qt::Key_Escape, Key::Esc},
                                         {Qt::Key_Home, Key::Home},
                                         {Qt::Key_End, Key::End},
                                         {Qt::Key_Backspace, Key::Backspace}};

// Keys by what they type.
constexpr std::pair<char, Key> TYPED[] = {{'p', Key::P},      {'P', Key::P},     {' ', Key::Space},
                                          {'.', Key::Period}, {'-', Key::Minus}, {'+', Key::Plus},
                                          {'=', Key::Plus},   {'m', Key::M},     {'M', Key::M},
                                          {'v', Key::V},      {'V', Key::V}};

std::optional<Key> key_name(const QKeyEvent& event) {
    for (const auto& [place, key] : PLACES) {
        if (event.nativeScanCode() == place) return key;
    }
    for (const auto& [code, key] : NAMED) {
        if (event.key() == code) return key;
    }
    const QString text = event.text();
    for (const auto& [typed, key] : TYPED) {
        if (text.size() == 1 && text[0] == QLatin1Char(typed)) return key;
    }
    return std::nullopt;
}

std::int16_t shift_state(Qt::KeyboardModifiers modifiers) {
    return static_cast<std::int16_t>((modifiers & Qt::ShiftModifier ? 1 : 0) |
                                     (modifiers & Qt::ControlModifier ? 2 : 0) |
                                     (modifiers & Qt::AltModifier ? 4 : 0));
}

MouseButton buttons_code(Qt::MouseButtons buttons) {
    const auto code = [&](Qt::MouseButton qt, MouseButton game) {
        return buttons & qt ? static_cast<int>(game) : 0;
    };
    return static_cast<MouseButton>(code(Qt::LeftButton, MouseButton::Left) |
                                    code(Qt::RightButton, MouseButton::Right) |
                                    code(Qt::MiddleButton, MouseButton::Middle));
}

InputEvent mouse(const QMouseEvent& event, InputKind kind) {
    const MouseButton button =
        kind == InputKind::MouseMove ? buttons_code(event.buttons()) : buttons_code(event.button());
    return {.kind = kind,
            .mouse = button,
            .shift = shift_state(event.modifiers()),
            .x = static_cast<float>(event.position().x()),
            .y = static_cast<float>(event.position().y())};
}

}  // namespace

std::optional<KeyStroke> key_stroke(const QKeyEvent& event, KeyPlace place) {
    const bool pressed = event.type() == QEvent::KeyPress;
    if (!pressed && event.isAutoRepeat()) return std::nullopt;
    const std::optional<Key> key = key_name(event);
    if (!key) return std::nullopt;
    return KeyStroke{
        .key = *key, .pressed = pressed, .repeat = event.isAutoRepeat(), .place = place};
}

std::optional<InputEvent> translate_event(const QEvent& event) {
    switch (event.type()) {
        case QEvent::MouseButtonPress:
            return mouse(static_cast<const QMouseEvent&>(event), InputKind::MouseDown);
        case QEvent::MouseMove:
            return mouse(static_cast<const QMouseEvent&>(event), InputKind::MouseMove);
        case QEvent::MouseButtonRelease:
            return mouse(static_cast<const QMouseEvent&>(event), InputKind::MouseUp);
        case QEvent::Resize: {
            const QSize size = static_cast<const QResizeEvent&>(event).size();
            return InputEvent{
                .kind = InputKind::Resize, .width = size.width(), .height = size.height()};
        }
        default:
            return std::nullopt;
    }
}
