// One thing that happened at the edge of the battle, as plain data: a key,
// the mouse, a small window's button, a resize, or the keyboard leaving the
// game's windows. These are what the battle takes and what a battle file
// keeps. A match makes them of what its front end hands it (the keys through
// input/key_table.h) and hands them to the session, and from there to
// deliver_event, the one road into the game's handlers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/front_end.h"
#include "base/world.h"
#include "drawing/surface.h"
#include "input/controls.h"
#include "input/keys.h"

enum class InputKind : std::uint8_t {
    KeyDown,       // key
    KeyUp,         // key
    KeyPress,      // character
    MouseDown,     // mouse: the button pressed; x, y
    MouseMove,     // mouse: the buttons held; x, y
    MouseUp,       // mouse: the button released; x, y
    Click,         // button: a button of the result or help window
    Resize,        // width, height: the drawing area's new size
    KeyboardLost,  // the game's windows no longer have the keyboard
};

// The buttons of the two small windows.
enum class SmallButton : std::uint8_t { Quit, Back, NextLevel, Close };

// Their names, in SmallButton's order, as battle files and the page call them.
inline constexpr std::string_view SMALL_BUTTON_NAMES[] = {"quit", "back", "next_level", "close"};
std::optional<SmallButton> small_button_named(std::string_view name);

struct InputEvent {
    InputKind kind = InputKind::KeyDown;
    KeyCode key{};
    CharCode character{};
    MouseButton mouse = MouseButton::None;
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
void deliver_event(GameWorld& world, Controls& controls, Surface& picture, const InputEvent& event);
