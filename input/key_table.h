// The game's keys by name, and the one table that says what each does: in a
// battle being played, in a replay, and in a small window, and whether a held
// key acts again as it repeats. A front end only turns its platform's codes
// into these names (qt/, web/); the match looks each stroke up here.
#pragma once

#include <cstdint>
#include <optional>

#include "input/input_event.h"

enum class Key : std::uint8_t {
    Left,  // the arrows, and the keys in the W, A, S and D places
    Up,
    Right,
    Down,
    F1,
    Enter,
    Esc,
    P,
    Space,
    Period,
    Minus,
    Plus,  // + or =
    Home,
    End,
    M,
    Backspace,
    V,
    // A pad's, in the standard layout (input/pad.h): its Start, Back and Y
    // are Esc, F1 and Enter.
    PadUp,  // the D-pad, or the left stick
    PadDown,
    PadLeft,
    PadRight,
    PadA,
    PadB,
    PadShoulderLeft,
    PadShoulderRight,
    PadFire,     // the right trigger
    PadCommand,  // the left trigger
};

// Where the keyboard was when the key came: the battle's field, or a small window.
enum class KeyPlace : std::uint8_t { Field, Result, Help };

// A key pressed or let go, as a front end hands it over.
struct KeyStroke {
    Key key = Key::Esc;
    bool pressed = true;  // else released
    bool repeat = false;  // a held key's repeat, not a new press
    KeyPlace place = KeyPlace::Field;
    bool operator==(const KeyStroke&) const = default;
};

// What a key does in a battle being played: an arrow is held while the key
// is down; the others act as it goes down.
enum class BattleAct : std::uint8_t {
    None,
    Arrow,      // drives (Up, Down) or turns (Left, Right)
    Help,       // the help window
    Score,      // the result window
    Pause,      // pauses or resumes
    Clear,      // clears the picture
    Mute,       // the sound off or on
    Rewind,     // the battle becomes a paused replay of itself, ten seconds back
    Fire,       // holds the fire button, as the left mouse button does
    Command,    // the right mouse button at the pointer: while the player's tank is dead,
                // every tank after the tank there
    Vibration,  // the pads' and the phone's rumble off or on
};

// What a key does in a replay.
enum class ReplayAct : std::uint8_t {
    None,
    Pause,      // pauses or resumes
    Step,       // one period on, and paused
    Slower,     // the next slower speed
    Faster,     // the next faster speed
    Back,       // ten seconds back
    Forward,    // ten seconds on
    Start,      // to the start
    End,        // to the end
    PlayOn,     // the replay becomes the player's battle where it stands
    Close,      // ends the replay
    Mute,       // the sound off or on
    Vibration,  // the rumble off or on
};

// What a key does in a small window; the keys that do nothing there are left
// to its buttons (Tab, Space and Enter).
enum class WindowAct : std::uint8_t {
    None,
    Esc,       // Result's Esc step; Help's "Close"
    F1,        // Help's F1 step
    Previous,  // the keyboard to the button before
    Next,      // ... or the next
    Press,     // presses the button that has the keyboard
};

struct KeyRule {
    Key key;
    BattleAct battle;
    ReplayAct replay;
    WindowAct window;
    bool repeats;  // a held key acts again at each repeat
};

// In Key's order.
inline constexpr KeyRule KEY_TABLE[] = {
    // key, in a battle, in a replay, in a small window, repeats
    {Key::Left, BattleAct::Arrow, ReplayAct::Back, WindowAct::None, true},
    {Key::Up, BattleAct::Arrow, ReplayAct::None, WindowAct::None, true},
    {Key::Right, BattleAct::Arrow, ReplayAct::Forward, WindowAct::None, true},
    {Key::Down, BattleAct::Arrow, ReplayAct::None, WindowAct::None, true},
    {Key::F1, BattleAct::Help, ReplayAct::None, WindowAct::F1, false},
    {Key::Enter, BattleAct::Clear, ReplayAct::PlayOn, WindowAct::None, false},
    {Key::Esc, BattleAct::Score, ReplayAct::Close, WindowAct::Esc, false},
    {Key::P, BattleAct::Pause, ReplayAct::Pause, WindowAct::None, false},
    {Key::Space, BattleAct::None, ReplayAct::Pause, WindowAct::None, false},
    {Key::Period, BattleAct::None, ReplayAct::Step, WindowAct::None, true},
    {Key::Minus, BattleAct::None, ReplayAct::Slower, WindowAct::None, true},
    {Key::Plus, BattleAct::None, ReplayAct::Faster, WindowAct::None, true},
    {Key::Home, BattleAct::None, ReplayAct::Start, WindowAct::None, true},
    {Key::End, BattleAct::None, ReplayAct::End, WindowAct::None, true},
    {Key::M, BattleAct::Mute, ReplayAct::Mute, WindowAct::None, false},
    {Key::Backspace, BattleAct::Rewind, ReplayAct::Back, WindowAct::None, false},
    {Key::V, BattleAct::Vibration, ReplayAct::Vibration, WindowAct::None, false},
    {Key::PadUp, BattleAct::Arrow, ReplayAct::None, WindowAct::Previous, false},
    {Key::PadDown, BattleAct::Arrow, ReplayAct::None, WindowAct::Next, false},
    {Key::PadLeft, BattleAct::Arrow, ReplayAct::Back, WindowAct::Previous, false},
    {Key::PadRight, BattleAct::Arrow, ReplayAct::Forward, WindowAct::Next, false},
    {Key::PadA, BattleAct::Fire, ReplayAct::Pause, WindowAct::Press, false},
    {Key::PadB, BattleAct::None, ReplayAct::None, WindowAct::Esc, false},
    {Key::PadShoulderLeft, BattleAct::None, ReplayAct::Slower, WindowAct::None, false},
    {Key::PadShoulderRight, BattleAct::None, ReplayAct::Faster, WindowAct::None, false},
    {Key::PadFire, BattleAct::Fire, ReplayAct::None, WindowAct::None, false},
    {Key::PadCommand, BattleAct::Command, ReplayAct::None, WindowAct::None, false},
};

const KeyRule& key_rule(Key key);

// Whether a stroke acts: a press, or a repeat of a key that repeats.
bool key_acts(const KeyStroke& stroke);

// The battle's record of a stroke on the field: an arrow held or let go, F1,
// the press of Esc, p or Enter, or the fire button or the right button held
// and let go at the pointer (x, y); none for the rest, for a release of any
// other key, and for a repeat of a key that does not repeat.
std::optional<InputEvent> battle_record(const KeyStroke& stroke, float x = 0, float y = 0);
// The battle's record of a stroke in a small window: Esc runs Result's Esc
// step or Help's "Close", F1 Help's F1 step; none for the rest.
std::optional<InputEvent> window_record(const KeyStroke& stroke);
