// The battle session: the one game beneath every front end. It owns the
// world, the picture, the random sequence and the controls (the battle's
// timer, the next-level request, the small windows), and runs a period the
// same way for every front end: the input records that came since the last
// period, then one tick if the battle runs.
//
// A match (match/match.h) runs it: it hands each input record to
// session_take and calls session_run_period every period of the front end's
// timer (or as many as a replay's speed asks), directly or through a
// recorder or a replay. The session hands back what a period did: the
// picture's changed tiles, the small windows as its controls stand, what
// would be heard, and how it ended; the match tells the front end. A fault in
// the game (a 16-bit counter leaving its range and the like) ends the session
// with a one-line message; no exception leaves these calls.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/cue.h"
#include "base/random_source.h"
#include "base/world.h"
#include "drawing/surface.h"
#include "input/controls.h"
#include "input/input_event.h"

// Why the session ended: the program's exit status, and what stopped the
// game in one line (empty after "Quit").
struct SessionEnd {
    int status = 0;
    std::string message;
};

// A period lasts 25 ms in every front end.
constexpr int PERIOD_MS = 25;

struct Session {
    GameWorld world{};
    Surface picture;  // what the front end shows, at the display's own pixels
    RandomSource random;
    Controls controls;
    std::vector<InputEvent> waiting;     // records taken since the last period, in order
    std::vector<InputEvent> delivering;  // the period's records while they are handed on
    long long periods = 0;               // periods run
    long long ticks = 0;                 // periods that ran a tick
    std::optional<SessionEnd> end;       // set once the session has ended; nothing runs after
    Cues cues;                           // what would be heard of the last period, in order
    bool engine_running = false;         // the player's tank moved in the last period
};

// Starts the session anew: the world zero-filled, the battle's timer
// running, a white drawing area of width x height units at `scale` pixels to
// a unit, and the random sequence given.
void session_start(Session& session, RandomSource random, int width, int height, double scale);

// Keeps a record for the next period; after the end, drops it.
void session_take(Session& session, const InputEvent& event);

// Runs one period: hands on the records taken since the last one, then runs
// one tick if the battle's timer runs and the battle is shown (a minimised
// battle waits). Then `cues` holds what would be heard of it: the tick's, and
// the player's engine starting or stopping (it is silent in a period with no
// tick), and the picture's tiles what it drew. After "Quit" the period's
// later records are dropped, no tick runs and `end` is set. Returns whether
// it ticked.
bool session_run_period(Session& session, bool battle_shown = true);

// The display's scale changed: the picture takes its pixels, wiped white.
void session_set_display_scale(Session& session, double scale);
