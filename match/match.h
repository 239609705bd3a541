// A match: the one battle a front end runs, played or shown again. It holds
// the battle session and, for a battle being played, its recorder (the
// battle kept as a battle file as it goes), or, for a kept battle shown
// again, its replay with the viewer's pause, speed and jumps. Every front end
// (the desktop window, the page, quenmar-sim) hands its match input records
// and runs one period of it each time its 25 ms timer fires; the match alone
// decides what a replay ignores, how fast it runs and what its line says,
// and tells the front end what changed through the seam (base/front_end.h).
//
// Sound: the match plays what would be heard of each battle period it shows
// (not of those a jump fights through) on its mixer, from where the player's
// tank is, and the front end asks it for the mixed frames.
//
// Jumps: a replay keeps the whole battle (session, picture, where it stood
// in its file) as it first fights through period 0 and every
// CHECKPOINT_PERIODS. A jump fights the battle again from the nearest state
// kept at or before where it lands, never from a state that was not fought,
// so every checkpoint on the way holds. Within what was fought, it lands at
// once; beyond it, it fights on at full speed, a slice each timer period.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "match/kept_state.h"
#include "record/battle_link.h"
#include "record/recording.h"
#include "sound/mixer.h"

// The speeds of a replay, in battle periods per period of the front end's
// timer, and what the viewer is told of each.
struct ReplaySpeed {
    int periods = 1;  // battle periods in a timer period...
    int every = 1;    // ...every this many timer periods
    const char* name;
};
inline constexpr ReplaySpeed REPLAY_SPEEDS[] = {{1, 4, "¼ ×"}, {1, 2, "½ ×"}, {1, 1, "1 ×"},
                                                {2, 1, "2 ×"}, {4, 1, "4 ×"}, {8, 1, "8 ×"}};
constexpr int NORMAL_SPEED = 2;                   // 1 ×
constexpr int JUMP_PERIODS = 10'000 / PERIOD_MS;  // ten seconds: Left and Right
constexpr double JUMP_SLICE_MS = 15;              // what a jump ahead fights in one timer period

// The viewer's side of a replay.
struct ReplayViewer {
    bool paused = false;
    int speed = NORMAL_SPEED;     // into REPLAY_SPEEDS
    int waited = 0;               // timer periods since the last battle period, below 1 ×
    std::vector<KeptState> kept;  // at periods 0, CHECKPOINT_PERIODS, 2 x CHECKPOINT_PERIODS, ...
    int fought = 0;               // the furthest period fought
    int heading_to = -1;          // the period a jump is fighting toward; -1: none
};

struct Match;

// Stands between the session and the front end: passes on what the session
// asks, the picture once per timer period however many battle periods ran,
// the small windows only where a jump lands, and the end once the period's
// lines are kept. A replay stands on a recorded "Quit" instead of ending.
class MatchRelay final : public FrontEnd {
  public:
    explicit MatchRelay(Match& match) : match_(match) {}
    void show_picture(std::span<const PixelBox> changed) override;
    void open_result_window(ResultScore score) override;
    void open_help_window() override;
    void close_small_window(SmallWindow window) override;
    void show_replay(std::string_view, std::string_view) override {}
    void keep_muted(bool) override {}
    void end_program(int status, std::string_view message) override;

  private:
    Match& match_;
};

struct Match {
    Match() = default;
    Match(const Match&) = delete;
    Match& operator=(const Match&) = delete;

    Session session;
    FrontEnd* front_end = nullptr;
    std::optional<BattleRecorder> recorder;  // a battle being played, kept as it goes
    std::optional<Replay> replay;            // a kept battle shown again
    ReplayViewer viewer;
    Mixer mixer;  // what is heard of it

    // Between the session and the front end.
    MatchRelay relay{*this};
    std::vector<PixelBox> changed;  // what the picture changed since the front end last showed it
    bool result_told = false;       // the small windows as the front end was last told
    bool help_told = false;
    std::optional<SessionEnd> ending;  // the end, for the front end once the period is over
    bool ended = false;                // the front end was told of the end; nothing runs after
    std::string line_told, note_told;  // the replay's line as the front end was last told
};

// Kept or not: a battle whose random numbers come from a list cannot be.
enum class Kept : bool { No, Yes };

// Starts a new battle on `front_end`: the world zero-filled, a white field of
// width x height units at `scale` pixels to a unit, the random sequence given,
// and, if kept, the battle file's first lines.
void match_start_game(Match& match, FrontEnd& front_end, RandomSource random, int width, int height,
                      double scale, Kept kept = Kept::Yes);
// Starts showing the battle in `file` again, at `scale` pixels to a unit.
void match_start_replay(Match& match, FrontEnd& front_end, BattleFile file, double scale = 1);

// An input record from the front end: a battle's go to the session for the
// next period, a viewer's act on a replay at once; each is ignored where it
// does not belong (a replay takes no battle's, a battle no viewer's). The
// sound's is taken by either, and the front end told to keep the choice.
void match_take(Match& match, const InputEvent& event);
// Runs the match for one period of the front end's timer: one battle period
// of a battle being played (waiting while it is not shown), or as many of a
// replay as its speed asks, none while it is paused or over. Then the front
// end shows what changed. Returns whether the last battle period ticked.
bool match_run_period(Match& match, bool shown = true);
// The display's scale changed: the picture takes its pixels, wiped white.
void match_set_display_scale(Match& match, double scale);
// The next frames of sound, left and right in turn, for the front end's device.
void match_sound(Match& match, std::span<float> stereo);
// Starts with the sound off or on, as the front end kept the player's choice.
void match_set_muted(Match& match, bool muted);

// The battle ends here without the session ending (quenmar-sim's last
// period): its last checkpoint and its end are kept.
void match_end_battle(Match& match);
// Writes what is new of the battle file to `file`; false if it could not be
// written. Nothing for a replay or a battle not kept.
bool match_write_out(Match& match, std::FILE* file);
// The battle played so far as a battle file, checked at its last period;
// empty for a replay or a battle not kept.
std::string match_battle(const Match& match);
// The same battle in its link form (record/battle_link.h).
std::string match_battle_link(const Match& match);

// Where a replay stands, for the front end's line and for tests.
struct ReplayStanding {
    ReplayState state = ReplayState::Running;
    int period = 0;  // periods run
    int length = 0;  // the recorded battle's periods
    int speed = NORMAL_SPEED;
    bool paused = false;
    std::string line;  // "Level 7 · 3:12 / 15:00 · 2 ×"
    std::string note;  // paused, over, or empty
};
ReplayStanding replay_standing(const Match& match);
// The memory the replay's kept states take, in bytes.
std::size_t kept_states_size(const Match& match);
