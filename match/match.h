// A match: the one battle a front end runs, played or shown again. It holds
// the battle session and, for a battle being played, its recorder (the
// battle kept as a battle file as it goes), or, for a kept battle shown
// again, its replay with the viewer's pause, speed and jumps. Every front end
// (the desktop window, the page, quenmar-sim) hands its match key strokes and
// input records and runs one period of it each time its 25 ms timer fires.
// The match alone decides what a key does (through input/key_table.h), what
// a replay ignores, how fast it runs and what its line says, and alone tells
// the front end what changed, through the seam (base/front_end.h).
//
// A replay shows someone's battle (a file or a link), or the player's own:
// brought back when the program ended without its end, or gone back into
// with Backspace. Enter turns any replay into the player's battle where it
// stands. The battle then kept begins with the replay's lines up to there;
// where that is the end of the player's own battle, it goes on in its file.
//
// Sound: the match plays what would be heard of each battle period it shows
// (not of those a jump fights through) on its mixer, from where the player's
// tank is, and the front end asks it for the mixed frames.
//
// Jumps: the battle is kept whole (session, picture, where it stood in its
// file) at period 0 and every CHECKPOINT_PERIODS, as it is played and as a
// replay first fights through it; the oldest are thinned out once they take
// KEPT_STATES_MOST. A jump fights the battle again from the nearest state
// kept at or before where it lands, never from a state that was not fought,
// so every checkpoint on the way holds. Within what was fought, it lands at
// once; beyond it, it fights on at full speed, a slice each timer period.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "input/key_table.h"
#include "input/pad.h"
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
constexpr int NORMAL_SPEED = 2;                     // 1 ×
constexpr int JUMP_PERIODS = 10'000 / PERIOD_MS;    // ten seconds: Left, Right and Backspace
constexpr double JUMP_SLICE_MS = 15;                // what a jump ahead fights in one timer period
constexpr std::size_t KEPT_STATES_MOST = 64 << 20;  // bytes
// A pad's aim: from this far from the player's tank, the stick barely
// pushed, to this far, pushed all the way (drawing units).
constexpr double PAD_AIM_NEAREST = 40;
constexpr double PAD_AIM_FARTHEST = 300;
// The rumble of the player's tank hit, and destroyed: strength 0..1, and ms.
constexpr double HIT_RUMBLE = 0.5;
constexpr int HIT_RUMBLE_MS = 150;
constexpr double DESTROYED_RUMBLE = 1;
constexpr int DESTROYED_RUMBLE_MS = 600;

// What a replay's line says besides where it stands.
inline constexpr const char* REPLAY_PAUSED =
    "Replay paused: p or Space resumes it, Enter plays on from here.";
inline constexpr const char* REPLAY_OVER = "The replay is over: Esc closes it, Enter plays on.";
inline constexpr const char* BROUGHT_BACK =
    "Your battle is back where it stopped: Enter plays on, Esc starts a new one.";
inline constexpr const char* REWOUND =
    "Your battle, shown again: Enter plays on from here, Esc starts a new one.";

// Whose battle a replay shows.
enum class ReplayOf : std::uint8_t {
    File,         // someone's kept battle, from a file or a link
    BroughtBack,  // the player's own, as it stood when the program ended without its end
    Rewound,      // the player's own, gone back into with Backspace
};

// The viewer's side of a replay.
struct ReplayViewer {
    ReplayOf of = ReplayOf::File;
    bool paused = false;
    int speed = NORMAL_SPEED;  // into REPLAY_SPEEDS
    int waited = 0;            // timer periods since the last battle period, below 1 ×
    int fought = 0;            // the furthest period fought
    int heading_to = -1;       // the period a jump is fighting toward; -1: none
};

// What of the battles the front end has yet to keep: the new lines of the
// battle kept so far, and, where a new battle began (a battle started, or a
// replay taken over), that battle's first lines, to be kept apart from it.
struct ToKeep {
    std::string lines;
    bool ends = false;  // `lines` end their battle: it is not to be brought back
    bool sync = false;  // a checkpoint or the end came: make what is kept safe
    bool anew = false;  // a battle of its own begins with `first_lines`
    std::string first_lines;
};

struct Match {
    Match() = default;
    Match(const Match&) = delete;
    Match& operator=(const Match&) = delete;

    Session session;
    FrontEnd* front_end = nullptr;
    // The battle being played, kept as it goes; during a replay of the
    // player's own battle, that battle as it was left.
    std::optional<BattleRecorder> recorder;
    std::optional<Replay> replay;  // a battle shown again
    ReplayViewer viewer;
    std::vector<KeptState> kept;  // the battle as it stood at period 0 and every CHECKPOINT_PERIODS
    std::vector<int> wiped;       // the periods that wiped the whole picture, in order
    Mixer mixer;                  // what is heard of it
    std::map<int, PadHold>
        pads;  // what each pad held at its last reading, by the front end's number
    bool vibration_off = false;  // the pads and the phone do not rumble

    // What the front end was told.
    bool result_told = false;  // the small windows
    bool help_told = false;
    std::optional<SessionEnd> ending;  // the end, for the front end once the period is over
    bool ended = false;                // the front end was told of the end; nothing runs after
    std::string line_told;             // the replay's line
    std::vector<PixelBox> changed;     // the picture's changed boxes, as they are told

    // What the front end has yet to keep of a battle no longer played.
    std::string left_lines;
    bool left_ends = false;
    bool anew = false;  // the recorder's battle began since the front end last kept
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

// What became of a battle of the player's own: back; or not, for it ended
// (`why` empty) or no longer replays (`why` says in one line where and why:
// damaged, or fought by other rules), and the match must start afresh.
struct BroughtBack {
    bool back = false;
    std::string why;
};
// Brings back the player's own battle from the bytes kept of it, up to their
// last whole line, unless it ended: fights it again at full speed and stands
// at its last kept period, paused, as a replay of it; Enter plays on in the
// same battle.
BroughtBack match_bring_back(Match& match, FrontEnd& front_end, std::string_view bytes,
                             const std::string& name, double scale = 1);

// A key pressed or let go where the front end's keyboard was; returns whether
// the key means anything there, so that the front end passes on the rest.
bool match_key(Match& match, const KeyStroke& stroke);
// An input record of the battle's: the pointer, a small window's button, a
// resize, the keyboard gone elsewhere. A replay takes none.
void match_take(Match& match, const InputEvent& event);
// The window system asks to close the battle: "Quit" for a battle being
// played; the end of a replay.
void match_close(Match& match);
// The replay's position bar, set to `period`.
void match_seek(Match& match, int period);
// A pad's reading this period, with where the keyboard is: what it pressed
// and let go goes as key strokes do, and the right stick aims, the pointer
// going to the player's tank and on in the stick's direction, the farther
// the more it is pushed.
void match_pad(Match& match, int pad, const PadState& state, KeyPlace place);
// A pad went away: what it held is let go, and the battle or replay pauses.
void match_pad_gone(Match& match, int pad, KeyPlace place);
// Runs the match for one period of the front end's timer: one battle period
// of a battle being played (waiting while it is not shown), or as many of a
// replay as its speed asks, none while it is paused or over. Then the front
// end shows what changed. Returns whether the last battle period ticked.
bool match_run_period(Match& match, bool shown = true);
// The display's scale changed: the picture takes its pixels, wiped white.
void match_set_display_scale(Match& match, double scale);
// The next frames of sound, left and right in turn, for the front end's device.
void match_sound(Match& match, std::span<float> stereo);
// Whether anything can be heard now or in the next period: not while muted,
// nor while the battle stands still and no sound is still playing out. A
// front end rests its sound device while nothing can be.
bool match_audible(const Match& match);
// Starts with the sound off or on, as the front end kept the player's choice.
void match_set_muted(Match& match, bool muted);
// Starts with the rumble off or on, as the front end kept the player's choice.
void match_set_vibration_off(Match& match, bool off);

// The battle ends here without the session ending (quenmar-sim's last
// period): its last checkpoint and its end are kept.
void match_end_battle(Match& match);
// What the front end has yet to keep; once returned it counts as kept.
ToKeep match_to_keep(Match& match);
// The battle played so far as a battle file, checked at its last period;
// during a replay of the player's own battle, that battle; empty for
// someone else's replay or a battle not kept.
std::string match_battle(const Match& match);
// The same battle in its link form (record/battle_link.h).
std::string match_battle_link(const Match& match);

// Where a replay stands, for the front end's line and for tests.
struct ReplayStanding {
    bool replaying = false;  // the rest holds only in a replay
    ReplayState state = ReplayState::Running;
    int period = 0;  // periods run
    int length = 0;  // the recorded battle's periods
    int speed = NORMAL_SPEED;
    bool paused = false;
    std::string line;  // "Level 7 · 3:12 / 15:00 · 2 ×", and what its keys do now
};
ReplayStanding replay_standing(const Match& match);
// The memory the kept states take, in bytes.
std::size_t kept_states_size(const Match& match);
