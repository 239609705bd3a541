#include "input/key_table.h"

namespace {

// The arrow a key holds: the arrows' own, and the pad's.
KeyCode arrow(Key key) {
    switch (key) {
        case Key::Left:
        case Key::PadLeft:
            return KeyCode::Left;
        case Key::Up:
        case Key::PadUp:
            return KeyCode::Up;
        case Key::Right:
        case Key::PadRight:
            return KeyCode::Right;
        default:
            return KeyCode::Down;
    }
}

constexpr bool in_key_order() {
    for (std::size_t i = 0; i < std::size(KEY_TABLE); ++i) {
        if (KEY_TABLE[i].key != static_cast<Key>(i)) return false;
    }
    return true;
}
static_assert(in_key_order(), "the key table's rows are in Key's order");

InputEvent pressed(CharCode character) {
    return {.kind = InputKind::KeyPress, .character = character};
}

}  // namespace

const KeyRule& key_rule(Key key) {
    return KEY_TABLE[static_cast<std::size_t>(key)];
}

bool key_acts(const KeyStroke& k) {
    return k.pressed && (!k.repeat || key_rule(k.key).repeats);
}

std::optional<InputEvent> battle_record(const KeyStroke& k, float x, float y) {
    const auto held = [&](InputKind down, InputKind up,
                          MouseButton button) -> std::optional<InputEvent> {
        if (k.repeat) return std::nullopt;
        return InputEvent{.kind = k.pressed ? down : up, .mouse = button, .x = x, .y = y};
    };
    switch (key_rule(k.key).battle) {
        case BattleAct::Arrow:
            if (k.repeat && !k.pressed) return std::nullopt;
            return InputEvent{.kind = k.pressed ? InputKind::KeyDown : InputKind::KeyUp,
                              .key = arrow(k.key)};
        case BattleAct::Fire:
            return held(InputKind::MouseDown, InputKind::MouseUp, MouseButton::Left);
        case BattleAct::Command:
            return held(InputKind::MouseDown, InputKind::MouseUp, MouseButton::Right);
        case BattleAct::Help:
            if (!key_acts(k)) return std::nullopt;
            return InputEvent{.kind = InputKind::KeyDown, .key = KeyCode::F1};
        case BattleAct::Score:
            return key_acts(k) ? std::optional(pressed(CharCode::Esc)) : std::nullopt;
        case BattleAct::Pause:
            return key_acts(k) ? std::optional(pressed(CharCode::LowerP)) : std::nullopt;
        case BattleAct::Clear:
            return key_acts(k) ? std::optional(pressed(CharCode::Enter)) : std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<InputEvent> window_record(const KeyStroke& k) {
    if (!key_acts(k)) return std::nullopt;
    switch (key_rule(k.key).window) {
        case WindowAct::Esc:
            if (k.place == KeyPlace::Help) {
                return InputEvent{.kind = InputKind::Click, .button = SmallButton::Close};
            }
            return pressed(CharCode::Esc);
        case WindowAct::F1:
            if (k.place != KeyPlace::Help) return std::nullopt;
            return InputEvent{.kind = InputKind::KeyDown, .key = KeyCode::F1};
        default:
            return std::nullopt;
    }
}
