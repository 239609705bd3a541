// Keeping a battle and fighting it again. A recorder writes the battle file
// as the session runs, a line at a time; a replay runs a session from a
// battle file, checking the world against every checkpoint, and stops at the
// first period where the two battles part. Both wrap session_run_period; a
// match (match/match.h) runs them for every front end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "record/battle_file.h"
#include "session/session.h"

// A 64-bit hash of the world and the controls: every field's value, in a
// fixed order, byte by byte, so that every build computes the same hash.
std::uint64_t world_hash(const Session& session);

struct BattleRecorder {
    std::string text;         // the battle file so far
    std::size_t written = 0;  // how much of it write_out has written
    bool shown = true;        // the battle as shown in the last period
    bool ended = false;       // the end line is written; nothing follows
};

// Starts recording a session just started: the header, with the first seed
// of its random sequence, reseeded from the clock at each set-up or one
// repeatable sequence. A sequence from a list of numbers cannot be kept.
void record_start(BattleRecorder& recorder, Session& session);
// Records the period's input records, runs it as session_run_period does,
// then records the seeds it took, a checkpoint every CHECKPOINT_PERIODS and,
// if the session ended, the last checkpoint and the end. Returns whether it ticked.
bool record_period(BattleRecorder& recorder, Session& session, bool battle_shown = true);
// The battle ends here without the session ending (its window was closed).
void record_end(BattleRecorder& recorder, const Session& session);
// Writes the lines not yet written to `file` and flushes them, so that a
// battle cut off by a crash keeps all but its last period. False if they
// could not be written.
bool write_out(BattleRecorder& recorder, std::FILE* file);
// The battle so far as a battle file, checked at its last period.
std::string battle_so_far(const BattleRecorder& recorder, const Session& session);

// What a front end says of a replay, and its status when the battles part.
constexpr const char* REPLAY_TITLE = "Quenmar replay";
constexpr const char* REPLAY_PAUSED = "Replay paused: p or Space resumes it.";
constexpr const char* REPLAY_OVER = "The replay is over. Esc closes it.";
constexpr int BATTLES_PARTED_STATUS = 5;

enum class ReplayState : std::uint8_t {
    Running,
    Over,    // every recorded period has run
    Parted,  // the battle parted from the recorded one; `message` says where
};

// Where a replay stands in its battle file: the next of each kind of line.
struct ReplayPosition {
    std::size_t next_event = 0, next_check = 0, next_shown = 0, next_seed = 0;
    bool shown = true;  // the recorded battle was shown in the last period
};

struct Replay {
    BattleFile file;
    ReplayPosition at;
    ReplayState state = ReplayState::Running;
    std::string message;  // why it stopped, in one line
};

// Starts `session` on `front_end` to fight the battle in `file` again, at
// `scale` pixels to a unit.
void replay_start(Replay& replay, Session& session, FrontEnd& front_end, BattleFile file,
                  double scale = 1);
// Runs the next recorded period: its records, then the period, then checks it.
// Returns whether it ticked; nothing runs once the replay is not Running.
bool replay_period(Replay& replay, Session& session);
