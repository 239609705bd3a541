// The browser's keyboard, mouse and touch events turned into the game's key
// strokes and input records. Nothing here decides what a key does (the
// match does, input/key_table.h): the page hands over what it read of an
// event as plain data, so a table of events can be checked against what
// they yield without a browser.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "input/key_table.h"
#include "input/pad.h"

// The name of a key by KeyboardEvent.code, its place ("KeyW", "ArrowUp",
// "F1"), and KeyboardEvent.key, what it types ("p", "Enter", "Escape"): the
// arrows, and the keys in the W, A, S and D places as the arrows whatever the
// layout, by their place; the rest by what they type. None for a key the
// game has no name for.
std::optional<Key> browser_key(std::string_view code, std::string_view key);

enum class MouseType { Down, Move, Up };

struct BrowserMouse {
    MouseType type = MouseType::Move;
    int button = 0;   // MouseEvent.button: 0 left, 1 middle, 2 right
    int buttons = 0;  // MouseEvent.buttons held: 1 left, 2 right, 4 middle
    float x = 0;      // pointer position, drawing units
    float y = 0;
    std::int16_t shift = 0;  // 1 Shift, 2 Ctrl, 4 Alt, added up
};

// The record of a mouse event over the field.
InputEvent browser_mouse(const BrowserMouse& event);

// Touch: one finger on the drive pad holds the arrows of the place it is on,
// as held keys do; the field's first finger is the pointer with the left
// button held (a quick tap fires, as a quick click does), and a second finger
// on the field presses the right button where it touches.
enum class TouchPhase { Start, Move, End };

struct TouchEvent {
    TouchPhase phase = TouchPhase::Start;
    int finger = 0;       // Touch.identifier
    bool on_pad = false;  // on the drive pad, else on the field
    float x = 0;          // pad: -1 to 1 about its middle, left to right and top to bottom;
    float y = 0;          // field: drawing units
};

// Which fingers hold what, between touch events.
struct TouchState {
    int pad_finger = -1;
    std::vector<Key> arrows;  // the arrows the pad's finger holds
    int aim_finger = -1;      // the field's pointer
    float aim_x = 0, aim_y = 0;
    int command_finger = -1;  // the right button
};

// The drive pad's arrows at a place on it: the arrow of the zone the place is
// in, both arrows between two zones (Up and Left toward the upper left, as
// two keys held together), none in the small middle.
std::vector<Key> pad_arrows(float x, float y);

// What a touch yields: the drive pad's arrows pressed and let go, or the
// field's pointer records, in order.
struct Touched {
    std::vector<KeyStroke> keys;
    std::vector<InputEvent> records;
    bool operator==(const Touched&) const = default;
};
// A finger the state does not hold yields nothing.
Touched translate_touch(TouchState& state, const TouchEvent& touch);

// A pad in the browser's standard mapping, as the Gamepad API gives it: the
// buttons pressed, a bit each by their standard index (0 A, 1 B, 2 X, 3 Y,
// 4 and 5 the shoulders, 6 and 7 the triggers, 8 Back, 9 Start, 12 to 15 the
// D-pad), the triggers' values 0..1, and the sticks' axes (0 and 1 the left,
// 2 and 3 the right; -1..1, right and down).
PadState standard_pad(std::uint32_t pressed, float left_trigger, float right_trigger,
                      const std::array<float, 4>& axes);
