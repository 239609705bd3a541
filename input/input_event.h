// One thing that happened at the edge of the game, as plain data: a key, the
// mouse, a small window's button, a resize, the keyboard leaving the game's
// windows, or what the viewer of a replay asks. Every front end turns what it
// receives into these records and hands them to its match, which hands the
// battle's to the session and from there to deliver_event, the one road into
// the game's handlers.
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
    Viewer,        // viewer (and period): what the viewer of a replay asks; the battle takes none
    Mute,          // turns the sound off, or on again; the battle takes none
};

// The buttons of the two small windows.
enum class SmallButton : std::uint8_t { Quit, Back, NextLevel, Close };

// What the viewer of a replay asks: pause or resume, one period forward,
// slower or faster, ten seconds back or forward, the start or the end, a
// period chosen on a position bar, or the end of the replay.
enum class ViewerCommand : std::uint8_t {
    Pause,
    Step,
    Slower,
    Faster,
    Back,
    Forward,
    Start,
    End,
    SeekTo,
    Close
};

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
    ViewerCommand viewer = ViewerCommand::Pause;
    int period = 0;  // SeekTo: the period to stand on
    bool operator==(const InputEvent&) const = default;
};

// The record of the key that turns the sound off and on, by what it types
// (m or M); none for any other text. It acts in a battle and in a replay.
std::optional<InputEvent> mute_record(std::string_view typed);

// The viewer's record for a key of a replay by what it types: p, P and
// Space pause and resume, "." steps, "-" slows down, "+" and "=" (one key)
// speed up; none for any other text. Front ends add the keys that type
// nothing: Left and Right (ten seconds), Home and End, and Esc (the end of
// the replay).
std::optional<InputEvent> viewer_record(std::string_view typed);
inline InputEvent viewer_record(ViewerCommand command) {
    return {.kind = InputKind::Viewer, .viewer = command};
}
// Whether a held key's repeats act again in a replay: they step, change the
// speed and jump, but pause, end and turn the sound off once a press.
inline bool viewer_repeats(const InputEvent& record) {
    return record.kind == InputKind::Viewer && record.viewer != ViewerCommand::Pause &&
           record.viewer != ViewerCommand::Close;
}

// The record of a key a small window takes itself, whichever front end it is
// pressed in: Esc runs Result's Esc step or Help's "Close" steps, and F1 in
// Help its F1 step; none for any other key (Tab, Space and Enter are the
// window's buttons'; the battle's keys do nothing there).
std::optional<InputEvent> small_window_record(SmallWindow window, KeyCode key);
std::optional<InputEvent> small_window_record(SmallWindow window, CharCode character);

// Hands the record to its handler: the keyboard and mouse handlers, the small
// windows' button steps, the drawing area's resize, or the release of the
// arrow keys when the keyboard has gone elsewhere.
void deliver_event(GameWorld& world, Controls& controls, Surface& picture, const InputEvent& event);
