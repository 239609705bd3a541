// A game pad in the standard layout, which SDL's game controllers and the
// browser's standard mapping share: its buttons become the game's key names
// (input/key_table.h) and its right stick an aim, once a period, the same
// for every front end. A front end only reads its pads into PadState.
//
// The left stick and the D-pad hold the arrows; the right stick aims, the
// right trigger or A fires, the left trigger is the right mouse button;
// Start is Esc, Back F1 and Y Enter; the shoulders change a replay's speed.
// A stick or trigger holds its name past a half and lets it go below three
// tenths, so that one resting near the edge does not chatter.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "input/key_table.h"

enum class PadButton : std::uint8_t {
    A,
    B,
    X,
    Y,
    Back,
    Start,
    LeftShoulder,
    RightShoulder,
    Up,  // the D-pad
    Down,
    Left,
    Right,
};
constexpr std::size_t PAD_BUTTONS = 12;

// What a front end reads of one pad.
struct PadState {
    std::array<bool, PAD_BUTTONS> held{};  // by PadButton
    float left_x = 0, left_y = 0;          // -1..1, right and down
    float right_x = 0, right_y = 0;
    float left_trigger = 0, right_trigger = 0;  // 0..1
};

// Where the right stick points: its direction, and how far it is pushed past
// its rest, 0..1.
struct PadAim {
    float x = 0, y = 0;  // a unit vector, x right and y down
    float reach = 0;
};

// What a pad held at its last reading.
struct PadHold {
    std::uint64_t keys = 0;              // the names held, a bit each by Key
    std::array<bool, 4> stick{};         // the left stick's up, down, left and right
    bool fire = false, command = false;  // the triggers
};

// What changed since the last reading: the names pressed and let go, with
// where the keyboard is, and the aim where the right stick is pushed.
struct PadReading {
    std::vector<KeyStroke> strokes;
    std::optional<PadAim> aim;
};

PadReading read_pad(PadHold& hold, const PadState& pad, KeyPlace place);
// Everything the pad held, let go: it went away.
std::vector<KeyStroke> let_go(PadHold& hold, KeyPlace place);
