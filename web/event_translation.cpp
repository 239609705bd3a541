#include "web/event_translation.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

struct Place {
    std::string_view code;
    KeyCode key;
};

// Keys by their place on the keyboard.
constexpr Place PLACES[] = {
    {"ArrowLeft", KeyCode::Left}, {"ArrowUp", KeyCode::Up}, {"ArrowRight", KeyCode::Right},
    {"ArrowDown", KeyCode::Down}, {"KeyA", KeyCode::Left},  {"KeyW", KeyCode::Up},
    {"KeyD", KeyCode::Right},     {"KeyS", KeyCode::Down},  {"F1", KeyCode::F1},
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
    if (!typed) return mute_record(e.key);
    return InputEvent{.kind = InputKind::KeyPress, .character = *typed, .shift = e.shift};
}

std::optional<InputEvent> viewer_key(const BrowserEvent& e) {
    if (e.type != BrowserEventType::KeyDown) return std::nullopt;
    constexpr std::pair<std::string_view, ViewerCommand> NAMED[] = {
        {"ArrowLeft", ViewerCommand::Back},
        {"ArrowRight", ViewerCommand::Forward},
        {"Home", ViewerCommand::Start},
        {"End", ViewerCommand::End},
        {"Escape", ViewerCommand::Close}};
    std::optional<InputEvent> record = viewer_record(e.key);
    if (!record) record = mute_record(e.key);
    for (const auto& [name, command] : NAMED) {
        if (e.key == name) record = viewer_record(command);
    }
    return e.repeat && record && !viewer_repeats(*record) ? std::nullopt : record;
}

}  // namespace

std::optional<InputEvent> translate_browser_event(const BrowserEvent& e, PagePart part) {
    if (part == PagePart::Replay) return viewer_key(e);
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

std::vector<KeyCode> pad_arrows(float x, float y) {
    constexpr float MIDDLE = 0.25f;  // radius of the pad's middle, where no arrow is held
    // Eight zones of an eighth of a turn each: within 22.5 degrees of an axis
    // one arrow, between two axes both.
    constexpr float TAN_EIGHTH_HALF = 0.41421356f;
    if (x * x + y * y < MIDDLE * MIDDLE) return {};
    std::vector<KeyCode> arrows;
    if (std::fabs(y) >= TAN_EIGHTH_HALF * std::fabs(x))
        arrows.push_back(y < 0 ? KeyCode::Up : KeyCode::Down);
    if (std::fabs(x) >= TAN_EIGHTH_HALF * std::fabs(y))
        arrows.push_back(x < 0 ? KeyCode::Left : KeyCode::Right);
    return arrows;
}

std::vector<InputEvent> translate_touch(TouchState& s, const TouchEvent& t) {
    std::vector<InputEvent> out;
    const auto arrow = [&](InputKind kind, KeyCode key) {
        out.push_back({.kind = kind, .key = key});
    };
    const auto mouse = [&](InputKind kind, MouseButton button, float x, float y) {
        out.push_back({.kind = kind, .mouse = button, .x = x, .y = y});
    };
    const auto held = [&] {
        return static_cast<MouseButton>((s.aim_finger >= 0 ? 1 : 0) |
                                        (s.command_finger >= 0 ? 2 : 0));
    };
    if (t.on_pad) {
        if (t.phase == TouchPhase::Start && s.pad_finger < 0) s.pad_finger = t.finger;
        if (t.finger != s.pad_finger) return out;
        const std::vector<KeyCode> now =
            t.phase == TouchPhase::End ? std::vector<KeyCode>{} : pad_arrows(t.x, t.y);
        const auto holds = [](const std::vector<KeyCode>& keys, KeyCode key) {
            return std::find(keys.begin(), keys.end(), key) != keys.end();
        };
        // What the thumb left is let go before what it reached is pressed.
        for (const KeyCode key : s.arrows) {
            if (!holds(now, key)) arrow(InputKind::KeyUp, key);
        }
        for (const KeyCode key : now) {
            if (!holds(s.arrows, key)) arrow(InputKind::KeyDown, key);
        }
        s.arrows = now;
        if (t.phase == TouchPhase::End) s.pad_finger = -1;
        return out;
    }
    switch (t.phase) {
        case TouchPhase::Start:
            if (s.aim_finger < 0) {
                mouse(InputKind::MouseMove, held(), t.x, t.y);
                mouse(InputKind::MouseDown, MouseButton::Left, t.x, t.y);
                s.aim_finger = t.finger;
                s.aim_x = t.x;
                s.aim_y = t.y;
            } else if (s.command_finger < 0) {
                mouse(InputKind::MouseMove, held(), t.x, t.y);
                mouse(InputKind::MouseDown, MouseButton::Right, t.x, t.y);
                s.command_finger = t.finger;
            }
            break;
        case TouchPhase::Move:
            if (t.finger == s.aim_finger) {
                mouse(InputKind::MouseMove, held(), t.x, t.y);
                s.aim_x = t.x;
                s.aim_y = t.y;
            }
            break;
        case TouchPhase::End:
            if (t.finger == s.aim_finger) {
                s.aim_finger = -1;
                mouse(InputKind::MouseUp, MouseButton::Left, t.x, t.y);
            } else if (t.finger == s.command_finger) {
                s.command_finger = -1;
                mouse(InputKind::MouseUp, MouseButton::Right, t.x, t.y);
                // The pointer goes back to the finger that aims.
                if (s.aim_finger >= 0) mouse(InputKind::MouseMove, held(), s.aim_x, s.aim_y);
            }
            break;
    }
    return out;
}
