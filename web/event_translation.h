// The browser's keyboard, mouse and touch events turned into the game's input
// records. Pure: the page hands over what it read of an event as plain data,
// so a table of events can be checked against the records they yield without
// a browser.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "input/input_event.h"

enum class BrowserEventType { KeyDown, KeyUp, MouseDown, MouseMove, MouseUp };

// Which part of the page has the keyboard: the field, or one of the two
// small windows, where only their own keys act; or, in a replay, any of them,
// where only the viewer's keys act.
enum class PagePart { Field, Result, Help, Replay };

struct BrowserEvent {
    BrowserEventType type = BrowserEventType::KeyDown;
    std::string_view code{};  // KeyboardEvent.code: the key's place ("KeyW", "ArrowUp", "F1")
    std::string_view key{};   // KeyboardEvent.key: what it types ("p", "P", "Enter", "Escape")
    bool repeat = false;      // a held key's repeat
    int button = 0;           // MouseEvent.button: 0 left, 1 middle, 2 right
    int buttons = 0;          // MouseEvent.buttons held: 1 left, 2 right, 4 middle
    float x = 0;              // pointer position, drawing units
    float y = 0;
    std::int16_t shift = 0;  // 1 Shift, 2 Ctrl, 4 Alt, added up
};

// The record for a key or mouse event, or none for one the game does not
// take there. On the field: the arrows, the keys in the W, A, S and D places
// (by place, whatever the layout), F1, p, Enter and Esc, and m for the sound;
// a held arrow repeats, the other keys act once per press. In a small window: Esc (Result's Esc
// step, Help's "Close") and F1 in Help; Tab, Space and Enter are its buttons'.
// In a replay: p or Space, ".", "-", "+" or "=", Left and Right, Home and
// End, and Esc; a held one repeats but for pausing and ending.
std::optional<InputEvent> translate_browser_event(const BrowserEvent& event, PagePart part);

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
    std::vector<KeyCode> arrows;  // the arrows the pad's finger holds
    int aim_finger = -1;          // the field's pointer
    float aim_x = 0, aim_y = 0;
    int command_finger = -1;  // the right button
};

// The drive pad's arrows at a place on it: the arrow of the zone the place is
// in, both arrows between two zones (Up and Left toward the upper left, as
// two keys held together), none in the small middle.
std::vector<KeyCode> pad_arrows(float x, float y);

// The records a touch event yields, in order; a finger the state does not
// hold yields none.
std::vector<InputEvent> translate_touch(TouchState& state, const TouchEvent& touch);
