// One thing that happened at the edge of the game, as plain data: a key, the
// mouse, a small window's button, a resize or the keyboard leaving the game's
// windows. Every front end (the battle window, quenmar-sim, the soak test, the
// fuzzer) turns what it receives into these records and hands each one to
// deliver_event, the one road into the game's handlers.
#pragma once

#include <cstdint>

#include "base/platform.h"
#include "base/world.h"

enum class InputKind : std::uint8_t {
    KeyDown,       // code: key code
    KeyUp,         // code: key code
    KeyPress,      // code: character code
    MouseDown,     // code: the button pressed; x, y
    MouseMove,     // code: the buttons held, added up; x, y
    MouseUp,       // code: the button released; x, y
    Click,         // button: a button of the result or help window
    Resize,        // width, height: the drawing area's new size
    KeyboardLost,  // the game's windows no longer have the keyboard
};

// The buttons of the two small windows.
enum class SmallButton : std::uint8_t { Quit, Back, NextLevel, Close };

struct InputEvent {
    InputKind kind = InputKind::KeyDown;
    std::int16_t code = 0;   // key, character or mouse button code (input/keys.h)
    std::int16_t shift = 0;  // 1 Shift, 2 Ctrl, 4 Alt, added up; the handlers ignore it
    float x = 0;             // pointer position, drawing units
    float y = 0;
    SmallButton button = SmallButton::Back;
    int width = 0;  // drawing units
    int height = 0;
    bool operator==(const InputEvent&) const = default;
};

// Hands the record to its handler: the keyboard and mouse handlers, the small
// windows' button steps, the drawing area's resize, or the release of the
// arrow keys when the keyboard has gone elsewhere.
void deliver_event(GameWorld& world, Platform& platform, const InputEvent& event);
