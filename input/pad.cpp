#include "input/pad.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr float PRESSED = 0.5f;    // a stick or trigger holds its name past this...
constexpr float RELEASED = 0.3f;   // ...and lets it go below this
constexpr float AIM_REST = 0.25f;  // the right stick aims past this

// The name each button holds, by PadButton; none for X.
constexpr std::optional<Key> BUTTON_KEYS[PAD_BUTTONS] = {
    Key::PadA,  Key::PadB,    std::nullopt,         Key::Enter,
    Key::F1,    Key::Esc,     Key::PadShoulderLeft, Key::PadShoulderRight,
    Key::PadUp, Key::PadDown, Key::PadLeft,         Key::PadRight};

// The stick's directions, in PadHold::stick's order, and the names they hold.
constexpr Key STICK_KEYS[] = {Key::PadUp, Key::PadDown, Key::PadLeft, Key::PadRight};

std::uint64_t bit(Key key) {
    return std::uint64_t{1} << static_cast<int>(key);
}

// Past PRESSED it holds, below RELEASED it lets go, between it stays as it was.
bool holds(bool was, float value) {
    return was ? value >= RELEASED : value > PRESSED;
}

}  // namespace

PadReading read_pad(PadHold& hold, const PadState& pad, KeyPlace place) {
    const float stick[] = {-pad.left_y, pad.left_y, -pad.left_x, pad.left_x};
    std::uint64_t keys = 0;
    for (std::size_t i = 0; i < std::size(stick); ++i) {
        hold.stick[i] = holds(hold.stick[i], stick[i]);
        if (hold.stick[i]) keys |= bit(STICK_KEYS[i]);
    }
    for (std::size_t i = 0; i < PAD_BUTTONS; ++i) {
        if (pad.held[i] && BUTTON_KEYS[i]) keys |= bit(*BUTTON_KEYS[i]);
    }
    hold.fire = holds(hold.fire, pad.right_trigger);
    hold.command = holds(hold.command, pad.left_trigger);
    if (hold.fire) keys |= bit(Key::PadFire);
    if (hold.command) keys |= bit(Key::PadCommand);

    PadReading reading;
    // What was let go before what was pressed, as a thumb moving on does.
    for (const bool pressed : {false, true}) {
        for (std::size_t k = 0; k < std::size(KEY_TABLE); ++k) {
            const auto key = static_cast<Key>(k);
            const bool now = (keys & bit(key)) != 0, before = (hold.keys & bit(key)) != 0;
            if (now != before && now == pressed) {
                reading.strokes.push_back({.key = key, .pressed = pressed, .place = place});
            }
        }
    }
    hold.keys = keys;
    const float pushed = std::hypot(pad.right_x, pad.right_y);
    if (pushed > AIM_REST) {
        reading.aim = PadAim{pad.right_x / pushed, pad.right_y / pushed,
                             std::min(1.0f, (pushed - AIM_REST) / (1 - AIM_REST))};
    }
    return reading;
}

std::vector<KeyStroke> let_go(PadHold& hold, KeyPlace place) {
    return read_pad(hold, PadState{}, place).strokes;
}
