#include "web/event_translation.h"

namespace {

struct Place {
    std::string_view code;
    KeyCode key;
};

// Keys by their place on the keyboard.
constexpr Place PLACES[] = {
    {"ArrowLeft", KeyCode::Left}, {"ArrowUp", KeyCode::Up},  {"ArrowRight", KeyCode::Right},
    {"ArrowDown", KeyCode::Down}, {"KeyA", KeyCode::Left},   {"KeyW", KeyCode::Up},
    {"KeyD", KeyCode::Right},     {"KeyS", KeyCode::Down},   {"F1", KeyCode::F1},
};

std::optional<KeyCode> key_code(std::string_view code) {
    for (const Place& place : PLACES) {
        if (place.code == code) return place.key;
    }
    return std::nullopt;
}

// Keys by what they type.
std::optional<CharCode> char_code(std::string_view key) {
    if (key == "Enter") return CharCode::Enter;
    if (key == "Escape") return CharCode::Esc;
    if (key == "p") return CharCode::LowerP;
    if (key == "P") return CharCode::UpperP;
    return std::nullopt;
}

MouseButton pressed(int dom_button) {
    switch (dom_button) {
        case 0:
            return MouseButton::Left;
        case 1:
            return MouseButton::Middle;
        case 2:
            return MouseButton::Right;
        default:
            return MouseButton::None;
    }
}

std::optional<InputEvent> small_window_key(const BrowserEvent& e, PagePart part) {
    if (e.type != BrowserEventType::KeyDown || e.repeat) return std::nullopt;
    const SmallWindow window = part == PagePart::Help ? SmallWindow::Help : SmallWindow::Result;
    if (e.key == "Escape") return small_window_record(window, CharCode::Esc);
    if (e.code == "F1") return small_window_record(window, KeyCode::F1);
    return std::nullopt;
}

std::optional<InputEvent> field_key(const BrowserEvent& e) {
    const std::optional<KeyCode> place = key_code(e.code);
    const bool arrow = place && *place != KeyCode::F1;
    if (e.type == BrowserEventType::KeyUp) {
        if (!arrow) return std::nullopt;
        return InputEvent{.kind = InputKind::KeyUp, .key = *place, .shift = e.shift};
    }
    if (e.repeat && !arrow) return std::nullopt;
    if (place) return InputEvent{.kind = InputKind::KeyDown, .key = *place, .shift = e.shift};
    const std::optional<CharCode> typed = char_code(e.key);
    if (!typed) return std::nullopt;
    return InputEvent{.kind = InputKind::KeyPress, .character = *typed, .shift = e.shift};
}

}  // namespace

std::optional<InputEvent> translate_browser_event(const BrowserEvent& e, PagePart part) {
    const auto mouse = [&](InputKind kind, MouseButton button) {
        return InputEvent{.kind = kind, .mouse = button, .shift = e.shift, .x = e.x, .y = e.y};
    };
    switch (e.type) {
        case BrowserEventType::KeyDown:
        case BrowserEventType::KeyUp:
            return part == PagePart::Field ? field_key(e) : small_window_key(e, part);
        case BrowserEventType::MouseDown:
            return mouse(InputKind::MouseDown, pressed(e.button));
        case BrowserEventType::MouseMove:
            return mouse(InputKind::MouseMove, static_cast<MouseButton>(e.buttons & 7));
        case BrowserEventType::MouseUp:
            return mouse(InputKind::MouseUp, pressed(e.button));
    }
    return std::nullopt;
}
