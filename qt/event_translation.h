// Qt's keyboard, mouse and resize events turned into the game's key strokes
// and input records. Nothing here looks at a widget or decides what a key
// does (the match does, input/key_table.h): a table of events can be checked
// against what they yield.
#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <optional>

#include "input/key_table.h"

// The stroke of a key press or release where the keyboard is; none for a key
// the game has no name for. X11 and Wayland send a held key as repeated
// releases and presses marked as auto-repeat: those releases are no real
// ones, and yield none. The keys in the W, A, S and D places of the keyboard
// are the arrows Up, Left, Down and Right by their place, whatever letters
// the layout puts there (Z, Q, S and D on a French one).
std::optional<KeyStroke> key_stroke(const QKeyEvent& event, KeyPlace place);

// The record of a mouse press, move or release, or of a resize; none for any
// other event.
std::optional<InputEvent> translate_event(const QEvent& event);
