// Keeping a battle and fighting it again. A recorder writes the battle file
// as the session runs, a line at a time; a replay runs a session from a
// battle file, checking the world against every checkpoint, and stops at the
// first period where the two battles part. Both wrap session_run_period; a
// match (match/match.h) runs them for every front end.
#pragma once

#include <cstdint>
#include <string>

#include "record/battle_file.h"
#include "session/session.h"

// A 64-bit hash of the world and the controls: every field's value, in a
// fixed order, byte by byte, so that every build computes the same hash.
std::uint64_t world_hash(const Session& session);

// A line at least this often, so that a battle cut off by a crash is known
// to have gone on to within a second of where it stopped.
constexpr int KEEP_PERIODS = 1000 / PERIOD_MS;

// Where a replay stands in its battle file: the next line of each kind, which
// is how many of each come before. A recorder counts its lines alike.
struct ReplayPosition {
    std::size_t next_event = 0, next_check = 0, next_shown = 0, next_seed = 0;
    bool shown = true;  // the recorded battle was shown in the last period
};

struct BattleRecorder {
    std::string text;       // the battle file so far
    std::size_t kept = 0;   // how much of it the front end has kept
    ReplayPosition lines;   // its lines so far, of each kind; `shown` as the last period was
    int last_line = 0;      // the period of the last line
    int checked = 0;        // the period of the last check line
    bool sync_due = false;  // a checkpoint came since the front end last made its copy safe
    bool ended = false;     // the end line is written; nothing follows
};

// Starts recording a session just started: the header, with the first seed
// of its random sequence, reseeded from the clock at each set-up or one
// repeatable sequence. A sequence from a list of numbers cannot be kept.
void record_start(BattleRecorder& recorder, Session& session);
// Goes on recording a battle from its file's lines so far, `text`, which
// leave it at `at` and the session where they end.
void record_from(BattleRecorder& recorder, std::string text, const ReplayPosition& at,
                 const Session& session);
// Records the period's input records, runs it as session_run_period does,
// then records the seeds it took, a checkpoint every CHECKPOINT_PERIODS, a
// check line where none came for KEEP_PERIODS and, if the session ended, the
// last checkpoint and the end. Returns whether it ticked.
bool record_period(BattleRecorder& recorder, Session& session, bool battle_shown = true);
// A check line for the period the session stands at, unless it has one.
void record_check(BattleRecorder& recorder, const Session& session);
// The battle ends where the session stands without the session ending: its
// last checkpoint, then the end.
void record_end(BattleRecorder& recorder, const Session& session);
// The battle so far as a battle file, checked at its last period.
std::string battle_so_far(const BattleRecorder& recorder, const Session& session);

// The title of a window that shows a replay, and the status when the battles part.
constexpr const char* REPLAY_TITLE = "Quenmar replay";
constexpr int BATTLES_PARTED_STATUS = 5;

enum class ReplayState : std::uint8_t {
    Running,
    Over,    // every recorded period has run
    Parted,  // the battle parted from the recorded one; `message` says where
};

struct Replay {
    BattleFile file;
    ReplayPosition at;
    ReplayState state = ReplayState::Running;
    std::string message;  // why it stopped, in one line
};

// Starts `session` to fight the battle in `file` again, at `scale` pixels to
// a unit.
void replay_start(Replay& replay, Session& session, BattleFile file, double scale = 1);
// Runs the next recorded period: its records, then the period, then checks it.
// Returns whether it ticked; nothing runs once the replay is not Running.
bool replay_period(Replay& replay, Session& session);
// The session, put back as it stood where the replay stands at `at`, follows
// the recorded seeds from there (a session kept while the battle was played
// took them from the clock).
void replay_stand_at(Replay& replay, Session& session, const ReplayPosition& at, ReplayState state);
