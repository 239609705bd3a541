// The browser's keyboard and mouse events turned into the game's input
// records. Pure: the page hands over what it read of an event as plain data,
// so a table of events can be checked against the records they yield without
// a browser.
#pragma once

#include <optional>
#include <string_view>

#include "input/input_event.h"

enum class BrowserEventType { KeyDown, KeyUp, MouseDown, MouseMove, MouseUp };

// Which part of the page has the keyboard: the field, or one of the two
// small windows, where only their own keys act.
enum class PagePart { Field, Result, Help };

struct BrowserEvent {
    BrowserEventType type = BrowserEventType::KeyDown;
    std::string_view code{};  // KeyboardEvent.code: the key's place ("KeyW", "ArrowUp", "F1")
    std::string_view key{};   // KeyboardEvent.key: what it types ("p", "P", "Enter", "Escape")
    bool repeat = false;    // a held key's repeat
    int button = 0;         // MouseEvent.button: 0 left, 1 middle, 2 right
    int buttons = 0;        // MouseEvent.buttons held: 1 left, 2 right, 4 middle
    float x = 0;            // pointer position, drawing units
    float y = 0;
    std::int16_t shift = 0;  // 1 Shift, 2 Ctrl, 4 Alt, added up
};

// The record for a key or mouse event, or none for one the game does not
// take there. On the field: the arrows, the keys in the W, A, S and D places
// (by place, whatever the layout), F1, p, Enter and Esc; a held arrow repeats,
// the other keys act once per press. In a small window: Esc (Result's Esc
// step, Help's "Close") and F1 in Help; Tab, Space and Enter are its buttons'.
std::optional<InputEvent> translate_browser_event(const BrowserEvent& event, PagePart part);
