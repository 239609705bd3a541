#include "web/event_translation.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Keys by their place on the keyboard.
constexpr std::pair<std::string_view, Key> PLACES[] = {
    {"ArrowLeft", Key::Left}, {"ArrowUp", Key::Up}, {"ArrowRight", Key::Right},
    {"ArrowDown", Key::Down}, {"KeyA", Key::Left},  {"KeyW", Key::Up},
    {"KeyD", Key::Right},     {"KeyS", Key::Down},  {"F1", Key::F1}};

// Keys by what they type.
constexpr std::pair<std::string_view, Key> TYPED[] = {
    {"Enter", Key::Enter}, {"Escape", Key::Esc},
    {"p", Key::P},         {"P", Key::P},
    {" ", Key::Space},     {".", Key::Period},
    {"-", Key::Minus},     {"+", Key::Plus},
    {"=", Key::Plus},      {"Home", Key::Home},
    {"End", Key::End},     {"m", Key::M},
    {"M", Key::M},         {"Backspace", Key::Backspace},
    {"v", Key::V},         {"V", Key::V}};

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

}  // namespace

std::optional<Key> browser_key(std::string_view code, std::string_view key) {
    for (const auto& [place, name] : PLACES) {
        if (code == place) return name;
    }
    for (const auto& [typed, name] : TYPED) {
        if (key == typed) return name;
    }
    return std::nullopt;
}

InputEvent browser_mouse(const BrowserMouse& e) {
    const auto record = [&](InputKind kind, MouseButton button) {
        return InputEvent{.kind = kind, .mouse = button, .shift = e.shift, .x = e.x, .y = e.y};
    };
    switch (e.type) {
        case MouseType::Down:
            return record(InputKind::MouseDown, pressed(e.button));
        case MouseType::Up:
            return record(InputKind::MouseUp, pressed(e.button));
        case MouseType::Move:
            break;
    }
    return record(InputKind::MouseMove, static_cast<MouseButton>(e.buttons & 7));
}

std::vector<Key> pad_arrows(float x, float y) {
    constexpr float MIDDLE = 0.25f;  // radius of the pad's middle, where no arrow is held
    // Eight zones of an eighth of a turn each: within 22.5 degrees of an axis
    // one arrow, between two axes both.
    constexpr float TAN_EIGHTH_HALF = 0.41421356f;
    if (x * x + y * y < MIDDLE * MIDDLE) return {};
    std::vector<Key> arrows;
    if (std::fabs(y) >= TAN_EIGHTH_HALF * std::fabs(x))
        arrows.push_back(y < 0 ? Key::Up : Key::Down);
    if (std::fabs(x) >= TAN_EIGHTH_HALF * std::fabs(y))
        arrows.push_back(x < 0 ? Key::Left : Key::Right);
    return arrows;
}

Touched translate_touch(TouchState& s, const TouchEvent& t) {
    Touched out;
    const auto arrow = [&](bool pressed, Key key) {
        out.keys.push_back({.key = key, .pressed = pressed});
    };
    const auto mouse = [&](InputKind kind, MouseButton button, float x, float y) {
        out.records.push_back({.kind = kind, .mouse = button, .x = x, .y = y});
    };
    const auto held = [&] {
        return static_cast<MouseButton>((s.aim_finger >= 0 ? 1 : 0) |
                                        (s.command_finger >= 0 ? 2 : 0));
    };
    if (t.on_pad) {
        if (t.phase == TouchPhase::Start && s.pad_finger < 0) s.pad_finger = t.finger;
        if (t.finger != s.pad_finger) return out;
        const std::vector<Key> now =
            t.phase == TouchPhase::End ? std::vector<Key>{} : pad_arrows(t.x, t.y);
        const auto holds = [](const std::vector<Key>& keys, Key key) {
            return std::find(keys.begin(), keys.end(), key) != keys.end();
        };
        // What the thumb left is let go before what it reached is pressed.
        for (const Key key : s.arrows) {
            if (!holds(now, key)) arrow(false, key);
        }
        for (const Key key : now) {
            if (!holds(s.arrows, key)) arrow(true, key);
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

PadState standard_pad(std::uint32_t pressed, float left_trigger, float right_trigger,
                      const std::array<float, 4>& axes) {
    // The standard index of each button, in PadButton's order.
    constexpr int INDEX[PAD_BUTTONS] = {0, 1, 2, 3, 8, 9, 4, 5, 12, 13, 14, 15};
    PadState pad;
    for (std::size_t i = 0; i < PAD_BUTTONS; ++i)
        pad.held[i] = (pressed >> INDEX[i] & 1) != 0;
    pad.left_trigger = left_trigger;
    pad.right_trigger = right_trigger;
    pad.left_x = axes[0];
    pad.left_y = axes[1];
    pad.right_x = axes[2];
    pad.right_y = axes[3];
    return pad;
}
