#include "qt/event_translation.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>

#include "input/keys.h"

namespace {

constexpr std::int16_t NO_CODE = 0;

// The X and XKB key codes of the keys in the W, A, S and D places, as both
// X11 and Wayland report them.
constexpr quint32 PLACE_W = 25;
constexpr quint32 PLACE_A = 38;
constexpr quint32 PLACE_S = 39;
constexpr quint32 PLACE_D = 40;

// The game's key code for key down and key up: the arrows, the keys in the
// W, A, S and D places as the arrows, and F1.
std::int16_t key_code(const QKeyEvent& event) {
    switch (event.nativeScanCode()) {
        case PLACE_W:
            return KEY_UP;
        case PLACE_A:
            return KEY_LEFT;
        case PLACE_S:
            return KEY_DOWN;
        case PLACE_D:
            return KEY_RIGHT;
        default:
            break;
    }
    switch (event.key()) {
        case Qt::Key_Left:
            return KEY_LEFT;
        case Qt::Key_Up:
            return KEY_UP;
        case Qt::Key_Right:
            return KEY_RIGHT;
        case Qt::Key_Down:
            return KEY_DOWN;
        case Qt::Key_F1:
            return KEY_F1;
        default:
            return NO_CODE;
    }
}

// The game's character code for key press.
std::int16_t char_code(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return CHAR_ENTER;
        case Qt::Key_Escape:
            return CHAR_ESC;
        default:
            break;
    }
    if (event.text() == "p") return CHAR_LOWER_P;
    if (event.text() == "P") return CHAR_UPPER_P;
    return NO_CODE;
}

std::int16_t shift_state(Qt::KeyboardModifiers modifiers) {
    return static_cast<std::int16_t>((modifiers & Qt::ShiftModifier ? 1 : 0) |
                                     (modifiers & Qt::ControlModifier ? 2 : 0) |
                                     (modifiers & Qt::AltModifier ? 4 : 0));
}

std::int16_t buttons_code(Qt::MouseButtons buttons) {
    return static_cast<std::int16_t>((buttons & Qt::LeftButton ? BUTTON_LEFT : 0) |
                                     (buttons & Qt::RightButton ? BUTTON_RIGHT : 0) |
                                     (buttons & Qt::MiddleButton ? BUTTON_MIDDLE : 0));
}

// A small window's own keys: Esc runs Result's Esc step or Help's "Close"
// steps, and F1 Help's F1 step.
std::optional<InputEvent> small_window_key(const QKeyEvent& event, EventSource source) {
    if (event.isAutoRepeat()) return std::nullopt;
    if (event.key() == Qt::Key_Escape) {
        if (source == EventSource::Help) {
            return InputEvent{.kind = InputKind::Click, .button = SmallButton::Close};
        }
        return InputEvent{.kind = InputKind::KeyPress, .code = CHAR_ESC};
    }
    if (event.key() == Qt::Key_F1 && source == EventSource::Help) {
        return InputEvent{.kind = InputKind::KeyDown, .code = KEY_F1};
    }
    return std::nullopt;
}

std::optional<InputEvent> key_pressed(const QKeyEvent& event, EventSource source) {
    if (source != EventSource::Battle) return small_window_key(event, source);
    const std::int16_t shift = shift_state(event.modifiers());
    const std::int16_t down = key_code(event);
    const bool arrow = down >= KEY_LEFT && down <= KEY_DOWN;
    if (event.isAutoRepeat() && !arrow) return std::nullopt;
    if (down != NO_CODE) return InputEvent{.kind = InputKind::KeyDown, .code = down, .shift = shift};

    const std::int16_t press = char_code(event);
    if (press == NO_CODE) return std::nullopt;
    return InputEvent{.kind = InputKind::KeyPress, .code = press, .shift = shift};
}

std::optional<InputEvent> key_released(const QKeyEvent& event, EventSource source) {
    const std::int16_t up = key_code(event);
    if (source != EventSource::Battle || event.isAutoRepeat() || up == NO_CODE) return std::nullopt;
    return InputEvent{.kind = InputKind::KeyUp, .code = up, .shift = shift_state(event.modifiers())};
}

std::optional<InputEvent> mouse(const QMouseEvent& event, InputKind kind) {
    const std::int16_t button = kind == InputKind::MouseMove ? buttons_code(event.buttons())
                                                             : buttons_code(event.button());
    return InputEvent{.kind = kind,
                      .code = button,
                      .shift = shift_state(event.modifiers()),
                      .x = static_cast<float>(event.position().x()),
                      .y = static_cast<float>(event.position().y())};
}

}  // namespace

std::optional<InputEvent> translate_event(const QEvent& event, EventSource source) {
    switch (event.type()) {
        case QEvent::KeyPress:
            return key_pressed(static_cast<const QKeyEvent&>(event), source);
        case QEvent::KeyRelease:
            return key_released(static_cast<const QKeyEvent&>(event), source);
        case QEvent::MouseButtonPress:
            return mouse(static_cast<const QMouseEvent&>(event), InputKind::MouseDown);
        case QEvent::MouseMove:
            return mouse(static_cast<const QMouseEvent&>(event), InputKind::MouseMove);
        case QEvent::MouseButtonRelease:
            return mouse(static_cast<const QMouseEvent&>(event), InputKind::MouseUp);
        case QEvent::Resize: {
            const QSize size = static_cast<const QResizeEvent&>(event).size();
            return InputEvent{.kind = InputKind::Resize, .width = size.width(), .height = size.height()};
        }
        default:
            return std::nullopt;
    }
}
