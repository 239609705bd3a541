// The seam: everything the game asks of a front end (the Qt window, the
// browser page, the headless driver), asked by the match alone. A front end,
// for its part, hands its match key strokes and input records, runs one
// period of it every 25 ms, keeps what it is given to keep and plays the
// sound it is given (match/match.h).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// A box of the picture's pixels, inclusive.
struct PixelBox {
    int left = 0, top = 0, right = -1, bottom = -1;
};

// The two small windows.
enum class SmallWindow : std::uint8_t { Result, Help };

// The numbers the result window shows: levels won, and levels really lost
// (the set-up at start counts one loss that the player never fought).
struct ResultScore {
    int wins = 0;
    int losses = 0;
    bool operator==(const ResultScore&) const = default;
};

class FrontEnd {
  public:
    virtual ~FrontEnd() = default;

    // Shows these boxes of the session's picture anew; the rest is as shown before.
    virtual void show_picture(std::span<const PixelBox> changed) = 0;
    // Opens the result window with `score`, the keyboard on "Back".
    virtual void open_result_window(ResultScore score) = 0;
    // Opens the help window, the keyboard on "Close".
    virtual void open_help_window() = 0;
    // Closes a small window and gives the keyboard back to the battle.
    virtual void close_small_window(SmallWindow window) = 0;
    // Shows the line of a replay: where it stands (level, time, length,
    // speed) and what its keys do now, at `period` of its `length`; an empty
    // line while a battle is played.
    virtual void show_replay(std::string_view line, int period, int length) = 0;
    // Moves the keyboard of a small window to its next button (`step` 1)
    // or the one before (-1), as Tab and Shift+Tab do.
    virtual void move_focus(SmallWindow window, int step) = 0;
    // Presses the button of a small window that has the keyboard.
    virtual void press_focused(SmallWindow window) = 0;
    // Rumbles the pads, or the phone played by touch, at `strength` 0..1 for `ms`.
    virtual void rumble(double strength, int ms) = 0;
    // The player turned the sound off (or on again): the front end keeps the
    // choice for the game's next start.
    virtual void keep_muted(bool muted) = 0;
    // The same for the rumble.
    virtual void keep_vibration_off(bool off) = 0;
    // Ends the program with `status`; a non-empty `message` says in one line
    // what stopped the game, for the player to read first. No call follows.
    virtual void end_program(int status, std::string_view message) = 0;
};
