#include "input/key_table.h"

namespace {

// The arrows' codes, in Key's order.
constexpr KeyCode ARROWS[] = {KeyCode::Left, KeyCode::Up, KeyCode::Right, KeyCode::Down};

constexpr bool in_key_order() {
    for (std::size_t i = 0; i < std::size(KEY_TABLE); ++i) {
        if (KEY_TABLE[i].key != static_cast<Key>(i)) return false;
    }
    return true;
}
static_assert(in_key_order(), "the key table's rows are in Key's order");

bool acts(const KeyStroke& k) {
    return k.pressed && (!k.repeat || key_rule(k.key).repeats);
}

InputEvent pressed(CharCode character) {
    return {.kind = InputKind::KeyPress, .character = character};
}

}  // namespace

const KeyRule& key_rule(Key key) {
    return KEY_TABLE[static_cast<std::size_t>(key)];
}

std::optional<InputEvent> battle_record(const KeyStroke& k) {
    switch (key_rule(k.key).battle) {
        case BattleAct::Arrow:
            if (k.repeat && !k.pressed) return std::nullopt;
            return InputEvent{.kind = k.pressed ? InputKind::KeyDown : InputKind::KeyUp,
                              .key = ARROWS[static_cast<std::size_t>(k.key)]};
        case BattleAct::Help:
            if (!acts(k)) return std::nullopt;
            return InputEvent{.kind = InputKind::KeyDown, .key = KeyCode::F1};
        case BattleAct::Score:
            return acts(k) ? std::optional(pressed(CharCode::Esc)) : std::nullopt;
        case BattleAct::Pause:
            return acts(k) ? std::optional(pressed(CharCode::LowerP)) : std::nullopt;
        case BattleAct::Clear:
            return acts(k) ? std::optional(pressed(CharCode::Enter)) : std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<InputEvent> window_record(const KeyStroke& k) {
    if (!acts(k)) return std::nullopt;
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
