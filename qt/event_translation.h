// Qt's keyboard, mouse and resize events turned into the game's input
// records. Pure: nothing here looks at a widget, so a table of events can be
// checked against the records they yield.
#pragma once

#include <QEvent>
#include <optional>

#include "input/input_event.h"

// Which of the game's windows received the event. The battle takes the
// game's keys; in the two small windows only their own keys act: Esc closes
// the window it is pressed in, F1 closes Help, and Tab, Space and Enter are
// left to the window's buttons. In a replay, any of them takes the viewer's
// keys alone: p or Space, ".", "-", "+" or "=", Left and Right, Home and
// End, and Esc.
enum class EventSource { Battle, Result, Help, Replay };

// The record for a key press or release, a mouse press, move or release, a
// resize, or the window system's request to close the battle window ("Quit",
// or the end of a replay); none for an event the game does not handle, which
// the window then passes on to its base class.
//
// A held key repeats: X11 and Wayland send it as repeated releases and presses
// marked as auto-repeat. Those releases are not real ones, so a repeat yields
// nothing but the arrows' key down: a held arrow keeps saying it is down, and a
// held Esc, F1 or p acts once per press.
//
// The keys in the W, A, S and D places of the keyboard are the arrows Up,
// Left, Down and Right in the battle, by their place, whatever letters the
// layout puts there (Z, Q, S and D on a French one). The key that types m
// turns the sound off and on, in a battle and in a replay.
std::optional<InputEvent> translate_event(const QEvent& event, EventSource source);
