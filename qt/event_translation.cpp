#include "qt/event_translation.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <string>
#include <utility>

namespace {

// The X and XKB key codes of the keys in the W, A, S and D places, as both
// X11 and Wayland report them.
constexpr quint32 PLACE_W = 25;
constexpr quint32 PLACE_A = 38;
constexpr quint32 PLACE_S = 39;
constexpr quint32 PLACE_D = 40;

// The game's key code for key down and key up: the arrows, the keys in the
// W, A, S and D places as the arrows, and F1.
std::optional<KeyCode> key_code(const QKeyEvent& event) {
    switch (event.nativeScanCode()) {
        case PLACE_W:
            return KeyCode::Up;
        case PLACE_A:
            return KeyCode::Left;
        case PLACE_S:
            return KeyCode::Down;
        case PLACE_D:
            return KeyCode::Right;
        default:
            break;
    }
    switch (event.key()) {
        case Qt::Key_Left:
            return KeyCode::Left;
        case Qt::Key_Up:
            return KeyCode::Up;
        case Qt::Key_Right:
            return KeyCode::Right;
        case Qt::Key_Down:
            return KeyCode::Down;
        case Qt::Key_F1:
            return KeyCode::F1;
        default:
            return std::nullopt;
    }
}

// The game's character code for key press.
std::optional<CharCode> char_code(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return CharCode::Enter;
        case Qt::Key_Escape:
            return CharCode::Esc;
        default:
            break;
    }
    if (event.text() == "p") return CharCode::LowerP;
    if (event.text() == "P") return CharCode::UpperP;
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

// A small window's own keys: Esc runs Result's Esc step or Help's "Close"
// steps, and F1 Help's F1 step.
std::optional<InputEvent> small_window_key(const QKeyEvent& event, EventSource source) {
    if (event.isAutoRepeat()) return std::nullopt;
    const SmallWindow window =
        source == EventSource::Help ? SmallWindow::Help : SmallWindow::Result;
    if (event.key() == Qt::Key_Escape) return small_window_record(window, CharCode::Esc);
    if (event.key() == Qt::Key_F1) return small_window_record(window, KeyCode::F1);
    return std::nullopt;
}

// The viewer's keys in a replay, and the sound's.
std::optional<InputEvent> viewer_key(const QKeyEvent& event) {
    constexpr std::pair<int, ViewerCommand> NAMED[] = {{Qt::Key_Left, ViewerCommand::Back},
                                                       {Qt::Key_Right, ViewerCommand::Forward},
                                                       {Qt::Key_Home, ViewerCommand::Start},
                                                       {Qt::Key_End, ViewerCommand::End},
                                                       {Qt::Key_Escape, ViewerCommand::Close}};
    const std::string typed = event.text().toStdString();
    std::optional<InputEvent> record = viewer_record(typed);
    if (!record) record = mute_record(typed);
    for (const auto& [key, command] : NAMED) {
        if (event.key() == key) record = viewer_record(command);
    }
    return event.isAutoRepeat() && record && !viewer_repeats(*record) ? std::nullopt : record;
}

std::optional<InputEvent> key_pressed(const QKeyEvent& event, EventSource source) {
    if (source == EventSource::Replay) return viewer_key(event);
    if (source != EventSource::Battle) return small_window_key(event, source);
    const std::int16_t shift = shift_state(event.modifiers());
    const std::optional<KeyCode> down = key_code(event);
    const bool arrow = down && *down != KeyCode::F1;
    if (event.isAutoRepeat() && !arrow) return std::nullopt;
    if (down) return InputEvent{.kind = InputKind::KeyDown, .key = *down, .shift = shift};

    const std::optional<CharCode> press = char_code(event);
    if (!press) return mute_record(event.text().toStdString());
    return InputEvent{.kind = InputKind::KeyPress, .character = *press, .shift = shift};
}

std::optional<InputEvent> key_released(const QKeyEvent& event, EventSource source) {
    const std::optional<KeyCode> up = key_code(event);
    if (source != EventSource::Battle || event.isAutoRepeat() || !up) return std::nullopt;
    return InputEvent{
        .kind = InputKind::KeyUp, .key = *up, .shift = shift_state(event.modifiers())};
}

std::optional<InputEvent> mouse(const QMouseEvent& event, InputKind kind) {
    const MouseButton button =
        kind == InputKind::MouseMove ? buttons_code(event.buttons()) : buttons_code(event.button());
    return InputEvent{.kind = kind,
                      .mouse = button,
                      .shift = shift_state(event.modifiers()),
                      .x = static_cast<float>(event.position().x()),
                      .y = static_cast<float>(event.position().y())};
}

}  // namespace

std::optional<InputEvent> translate_event(const QEvent& event, EventSource source) {
    if (source == EventSource::Replay) {
        if (event.type() == QEvent::Close) return viewer_record(ViewerCommand::Close);
        if (event.type() != QEvent::KeyPress) return std::nullopt;
    }
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
        case QEvent::Close:
            if (source != EventSource::Battle) return std::nullopt;
            return InputEvent{.kind = InputKind::Click, .button = SmallButton::Quit};
        case QEvent::Resize: {
            const QSize size = static_cast<const QResizeEvent&>(event).size();
            return InputEvent{
                .kind = InputKind::Resize, .width = size.width(), .height = size.height()};
        }
        default:
            return std::nullopt;
    }
}
