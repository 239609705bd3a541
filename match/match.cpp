#include "match/match.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

bool replay_running(const Match& m) {
    return m.replay && m.replay->state == ReplayState::Running && !m.ending && !m.ended;
}

bool own_replay(const Match& m) {
    return m.replay && m.viewer.of != ReplayOf::File;
}

// What match_start_game and match_start_replay both start afresh; a small
// window the last battle left open closes.
void start_afresh(Match& m, FrontEnd& front_end) {
    if (m.result_told) m.front_end->close_small_window(SmallWindow::Result);
    if (m.help_told) m.front_end->close_small_window(SmallWindow::Help);
    if (m.replay) front_end.show_replay("", 0, 0);  // the replay's line goes
    m.replay.reset();
    m.viewer = ReplayViewer{};
    m.kept.clear();
    m.wiped.clear();
    m.front_end = &front_end;
    m.ending.reset();
    m.ended = false;
    m.result_told = m.help_told = false;
    m.line_told.clear();
    mixer_start(m.mixer);
}

// The battle being kept is left: what is new of it waits to be kept, with
// its end if it ends here.
void leave_battle(Match& m, bool ends) {
    if (!m.recorder) return;
    BattleRecorder& r = *m.recorder;
    if (ends && !r.ended) r.text += end_line(r.last_line);
    m.left_lines += r.text.substr(r.kept);
    m.left_ends = ends || r.ended;
    m.recorder.reset();
    m.anew = false;
}

// Keeps the battle as it stands, at period 0 and every CHECKPOINT_PERIODS,
// the first time it gets there; past KEPT_STATES_MOST, every other state but
// the first and the last goes.
void keep_where_it_stands(Match& m, const ReplayPosition& at, ReplayState state) {
    const long long period = m.session.periods;
    if (period % CHECKPOINT_PERIODS != 0) return;
    if (!m.kept.empty() && m.kept.back().session.periods >= period) {
        // Kept blind, and fought again with its picture: the picture is kept now.
        const auto kept = std::find_if(m.kept.begin(), m.kept.end(), [&](const KeptState& k) {
            return k.session.periods == period;
        });
        if (kept != m.kept.end() && kept->session.picture.blind && !m.session.picture.blind) {
            *kept = keep_state(m.session, at, state);
        }
        return;
    }
    m.kept.push_back(keep_state(m.session, at, state));
    if (kept_states_size(m) <= KEPT_STATES_MOST) return;
    for (std::size_t i = 1; i + 1 < m.kept.size(); ++i)
        m.kept.erase(m.kept.begin() + static_cast<std::ptrdiff_t>(i));
}

// Tells the front end what it has not been told: the small windows (unless
// a jump is still being fought), the picture's changed boxes, the replay's
// line, and the end.
void tell_front_end(Match& m) {
    FrontEnd& fe = *m.front_end;
    const Controls& c = m.session.controls;
    if (m.viewer.heading_to < 0) {
        if (c.result_window_open != m.result_told) {
            if (c.result_window_open) {
                fe.open_result_window(c.result_score.value_or(ResultScore{}));
            } else {
                fe.close_small_window(SmallWindow::Result);
            }
            m.result_told = c.result_window_open;
        }
        if (c.help_window_open != m.help_told) {
            if (c.help_window_open) {
                fe.open_help_window();
            } else {
                fe.close_small_window(SmallWindow::Help);
            }
            m.help_told = c.help_window_open;
        }
    }
    surface_take_dirty_strips(m.session.picture, m.changed);  // one box a run of changed tiles
    if (!m.changed.empty()) fe.show_picture(m.changed);
    if (m.replay) {
        ReplayStanding standing = replay_standing(m);
        if (standing.line != m.line_told) {
            m.line_told = std::move(standing.line);
            fe.show_replay(m.line_told, standing.period, standing.length);
        }
    }
    if (m.ending) {
        const SessionEnd end = *m.ending;
        m.ending.reset();
        m.ended = true;
        fe.end_program(end.status, end.message);
    }
}

// Plays what would be heard of the battle period just run, from the player's
// tank, and has what is felt of it felt: the player's tank hit, or destroyed.
void hear(Match& m) {
    const Session& s = m.session;
    const Listener at_the_player{s.world.tank_x[0], s.world.tank_y[0],
                                 static_cast<double>(s.picture.area_width),
                                 static_cast<double>(s.picture.area_height)};
    mixer_play(m.mixer, s.cues, at_the_player);
    if (m.vibration_off) return;
    const Cue player_hit{CueKind::Hit, static_cast<float>(s.world.tank_x[0]),
                         static_cast<float>(s.world.tank_y[0])};
    if (std::any_of(s.cues.begin(), s.cues.end(),
                    [](const Cue& c) { return c.kind == CueKind::PlayerDestroyed; })) {
        m.front_end->rumble(DESTROYED_RUMBLE, DESTROYED_RUMBLE_MS);
    } else if (std::find(s.cues.begin(), s.cues.end(), player_hit) != s.cues.end()) {
        m.front_end->rumble(HIT_RUMBLE, HIT_RUMBLE_MS);
    }
}

// The engine runs while the player's tank moves in a battle that is shown
// running: not in a replay that stands still or is fighting through a jump.
void hear_engine(Match& m, bool running) {
    mixer_set_engine(m.mixer, running && m.session.engine_running
                                  ? static_cast<double>(m.session.world.tank_speed[0])
                                  : 0.0);
}

// The end of a battle period: a fault ends the match; so does "Quit" in a
// battle played, while a replay stands on it.
void after_battle_period(Match& m) {
    const std::optional<SessionEnd>& end = m.session.end;
    if (end && (!m.replay || end->status != 0)) m.ending = end;
    if (m.replay && m.replay->state == ReplayState::Parted) {
        m.ending = SessionEnd{BATTLES_PARTED_STATUS, m.replay->message};
    }
}

// One recorded period, watched, or stepped or fought through by a jump (and
// then not heard: a replay that stands still is silent).
bool replay_one(Match& m) {
    Replay& replay = *m.replay;
    const int wipes = m.session.picture.wipes;
    const bool ticked = replay_period(replay, m.session);
    const int period = static_cast<int>(m.session.periods);
    if (m.session.picture.wipes != wipes && (m.wiped.empty() || m.wiped.back() < period)) {
        m.wiped.push_back(period);
    }
    ReplayViewer& v = m.viewer;
    if (!v.paused && v.heading_to < 0) hear(m);
    v.fought = std::max(v.fought, period);
    keep_where_it_stands(m, replay.at, replay.state);
    after_battle_period(m);
    return ticked;
}

// Fights on toward the jump's period, until `deadline` at the latest.
void fight_toward(Match& m, Clock::time_point deadline) {
    ReplayViewer& v = m.viewer;
    for (int n = 0; replay_running(m) && m.session.periods < v.heading_to; ++n) {
        constexpr int CLOCK_EVERY = 16;  // periods between looks at the clock
        if (n % CLOCK_EVERY == 0 && Clock::now() >= deadline) return;
        replay_one(m);
    }
    v.heading_to = -1;  // landed
}

// The kept state nearest at or before `period`.
const KeptState& kept_before(const Match& m, int period) {
    const auto after =
        std::upper_bound(m.kept.begin() + 1, m.kept.end(), period,
                         [](int p, const KeptState& kept) { return p < kept.session.periods; });
    return *(after - 1);
}

// A battle fought blind (brought back at full speed) has no picture: it is
// put back where its picture at `target` can be drawn from, a state kept
// with its picture since the last wipe at or before `target`, or else that
// wipe's period, fought to blind from the state kept before it.
void see_again(Match& m, int target) {
    const auto after = std::upper_bound(m.wiped.begin(), m.wiped.end(), target);
    const int wiped = after == m.wiped.begin() ? 0 : *(after - 1);
    for (auto kept = m.kept.rbegin(); kept != m.kept.rend(); ++kept) {
        const long long at = kept->session.periods;
        if (at <= target && at >= wiped && !kept->session.picture.blind) {
            restore_state(*kept, m.session, *m.replay);
            return;
        }
    }
    restore_state(kept_before(m, wiped - 1), m.session, *m.replay);
    while (m.session.periods < wiped - 1 && replay_running(m))
        replay_one(m);
    surface_set_blind(m.session.picture, false);
}

void jump_to(Match& m, int target) {
    ReplayViewer& v = m.viewer;
    target = std::clamp(target, 0, m.replay->file.last_period);
    const int now = static_cast<int>(m.session.periods);
    if (target == now && v.heading_to < 0) return;
    const KeptState& nearest = kept_before(m, target);
    if (target < now || nearest.session.periods > now) restore_state(nearest, m.session, *m.replay);
    if (m.session.picture.blind) see_again(m, target);
    v.heading_to = target;
    mixer_silence(m.mixer);  // what played before the jump stops where it was
    // Within what was fought it lands at once; beyond it, the rest follows
    // a slice at a time.
    fight_toward(m, target <= v.fought ? Clock::time_point::max() : Clock::now());
}

// The battle the replay shows becomes the player's where it stands: kept in
// a battle of its own that begins with the replay's lines up to here, or, at
// the end of the player's own battle, in that battle's file.
void play_on(Match& m) {
    Replay& replay = *m.replay;
    if (replay.state == ReplayState::Parted || m.session.end || m.viewer.heading_to >= 0) return;
    const int period = static_cast<int>(m.session.periods);
    const bool goes_on = own_replay(m) && m.recorder && period == m.recorder->last_line;
    if (!goes_on) {
        leave_battle(m, own_replay(m));
        record_from(m.recorder.emplace(), battle_file_text(replay.file, period), replay.at,
                    m.session);
        m.anew = true;
    }
    random_take_over(m.session.random, replay.file.reseeds);
    std::erase_if(m.kept, [&](const KeptState& kept) { return kept.session.periods > period; });
    std::erase_if(m.wiped, [&](int wiped) { return wiped > period; });
    m.replay.reset();
    m.viewer = ReplayViewer{};
    m.line_told.clear();
    m.front_end->show_replay("", 0, 0);
}

// The battle as a replay that stands where it is, paused, for the viewer.
void show_again(Match& m, BattleFile file, ReplayOf of, ReplayPosition at) {
    m.replay.emplace();
    m.replay->file = std::move(file);
    replay_stand_at(*m.replay, m.session, at, ReplayState::Over);
    m.viewer =
        ReplayViewer{.of = of, .paused = true, .fought = static_cast<int>(m.session.periods)};
    mixer_silence(m.mixer);
}

// Backspace: the battle being played becomes a paused replay of itself, ten
// seconds back. A battle not kept cannot be shown again.
void rewind(Match& m) {
    if (!m.recorder || m.recorder->ended || m.session.end) return;
    BattleRecorder& r = *m.recorder;
    record_check(r, m.session);
    BattleFile file;
    try {
        file = read_battle(r.text, "battle");
    } catch (const InputError&) {
        return;  // longer than a battle taken from a file may be
    }
    show_again(m, std::move(file), ReplayOf::Rewound, r.lines);
    jump_to(m, static_cast<int>(m.session.periods) - JUMP_PERIODS);
}

// Esc in a replay of the player's own battle: that battle ends where it was
// left, and a new one starts on a field of the same size.
void start_new_battle(Match& m) {
    leave_battle(m, true);
    const Surface& p = m.session.picture;
    match_start_game(m, *m.front_end, random_from_clock(), p.area_width, p.area_height, p.scale);
}

void toggle_mute(Match& m) {
    m.mixer.muted = !m.mixer.muted;
    m.front_end->keep_muted(m.mixer.muted);
}

void toggle_vibration(Match& m) {
    m.vibration_off = !m.vibration_off;
    m.front_end->keep_vibration_off(m.vibration_off);
}

// A small window's own act for a key pressed there.
void act_in_window(Match& m, const KeyStroke& k, WindowAct act) {
    const SmallWindow window = k.place == KeyPlace::Help ? SmallWindow::Help : SmallWindow::Result;
    if (act == WindowAct::Previous || act == WindowAct::Next) {
        if (key_acts(k)) m.front_end->move_focus(window, act == WindowAct::Next ? 1 : -1);
    } else if (act == WindowAct::Press) {
        if (key_acts(k)) m.front_end->press_focused(window);
    } else if (const std::optional<InputEvent> record = window_record(k)) {
        session_take(m.session, *record);
    }
}

void view(Match& m, ReplayAct act) {
    ReplayViewer& v = m.viewer;
    const int now = static_cast<int>(m.session.periods);
    constexpr int SLOWEST = 0, FASTEST = static_cast<int>(std::size(REPLAY_SPEEDS)) - 1;
    switch (act) {
        case ReplayAct::Pause:
            v.paused = !v.paused;
            if (v.paused) mixer_silence(m.mixer);
            break;
        case ReplayAct::Step:
            if (!v.paused) mixer_silence(m.mixer);
            v.paused = true;
            if (replay_running(m) && v.heading_to < 0) replay_one(m);
            break;
        case ReplayAct::Slower:
            v.speed = std::max(v.speed - 1, SLOWEST);
            break;
        case ReplayAct::Faster:
            v.speed = std::min(v.speed + 1, FASTEST);
            break;
        case ReplayAct::Back:
            jump_to(m, now - JUMP_PERIODS);
            break;
        case ReplayAct::Forward:
            jump_to(m, (v.heading_to >= 0 ? v.heading_to : now) + JUMP_PERIODS);
            break;
        case ReplayAct::Start:
            jump_to(m, 0);
            break;
        case ReplayAct::End:
            jump_to(m, m.replay->file.last_period);
            break;
        case ReplayAct::PlayOn:
            play_on(m);
            break;
        case ReplayAct::Close:
            if (own_replay(m)) {
                start_new_battle(m);
            } else {
                m.ending = SessionEnd{};
            }
            break;
        case ReplayAct::Mute:
            toggle_mute(m);
            break;
        case ReplayAct::Vibration:
            toggle_vibration(m);
            break;
        case ReplayAct::None:
            break;
    }
}

bool run_replay_period(Match& m) {
    ReplayViewer& v = m.viewer;
    bool ticked = false;
    hear_engine(m, !v.paused && v.heading_to < 0 && replay_running(m));
    if (v.heading_to >= 0) {
        fight_toward(m,
                     Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double, std::milli>(JUMP_SLICE_MS)));
    } else if (!v.paused) {
        const ReplaySpeed& speed = REPLAY_SPEEDS[v.speed];
        if (++v.waited >= speed.every) {
            v.waited = 0;
            for (int i = 0; i < speed.periods && replay_running(m); ++i)
                ticked = replay_one(m);
        }
    }
    return ticked;
}

std::string clock_text(int periods) {
    const int seconds = periods / (1000 / PERIOD_MS);
    std::string text = std::to_string(seconds / 60) + ":";
    if (seconds % 60 < 10) text += "0";
    return text + std::to_string(seconds % 60);
}

}  // namespace

void match_start_game(Match& m, FrontEnd& front_end, RandomSource random, int width, int height,
                      double scale, Kept kept) {
    start_afresh(m, front_end);
    leave_battle(m, false);
    session_start(m.session, std::move(random), width, height, scale);
    if (kept == Kept::Yes) {
        record_start(m.recorder.emplace(), m.session);
        m.anew = true;
        keep_where_it_stands(m, m.recorder->lines, ReplayState::Running);
    }
}

void match_start_replay(Match& m, FrontEnd& front_end, BattleFile file, double scale) {
    start_afresh(m, front_end);
    leave_battle(m, false);
    replay_start(m.replay.emplace(), m.session, std::move(file), scale);
    keep_where_it_stands(m, m.replay->at, m.replay->state);
    tell_front_end(m);
}

BroughtBack match_bring_back(Match& m, FrontEnd& front_end, std::string_view bytes,
                             const std::string& name, double scale) {
    BattleFile file;
    try {
        file = read_battle(bytes, name, Reading::Own);
    } catch (const InputError& e) {
        return {false, e.what()};
    }
    if (file.ended) return {};
    const int last = file.last_period;
    match_start_replay(m, front_end, std::move(file), scale);
    // Fought blind at full speed; then its picture from where it was last wiped.
    surface_set_blind(m.session.picture, true);
    m.viewer.heading_to = last;
    fight_toward(m, Clock::time_point::max());
    if (m.ending) return {false, m.ending->message};
    see_again(m, last);
    m.viewer.heading_to = last;
    fight_toward(m, Clock::time_point::max());
    record_from(m.recorder.emplace(), std::string(whole_lines(bytes)), m.replay->at, m.session);
    m.recorder->kept = m.recorder->text.size();
    show_again(m, std::move(m.replay->file), ReplayOf::BroughtBack, m.replay->at);
    tell_front_end(m);
    return {true, ""};
}

bool match_key(Match& m, const KeyStroke& k) {
    if (m.ended) return false;
    const KeyRule& rule = key_rule(k.key);
    const bool acts = key_acts(k);
    if (m.replay) {
        if (rule.replay == ReplayAct::None) return false;
        if (acts) view(m, rule.replay);
        tell_front_end(m);
        return true;
    }
    if (k.place != KeyPlace::Field) {
        if (rule.window == WindowAct::None) return false;
        act_in_window(m, k, rule.window);
        return true;
    }
    const GameWorld& w = m.session.world;
    switch (rule.battle) {
        case BattleAct::None:
            return false;
        case BattleAct::Mute:
            if (acts) toggle_mute(m);
            return true;
        case BattleAct::Vibration:
            if (acts) toggle_vibration(m);
            return true;
        case BattleAct::Rewind:
            if (acts) rewind(m);
            tell_front_end(m);
            return true;
        default:
            if (const std::optional<InputEvent> record = battle_record(
                    k, static_cast<float>(w.mouse_x), static_cast<float>(w.mouse_y))) {
                session_take(m.session, *record);
            }
            return true;
    }
}

void match_pad(Match& m, int pad, const PadState& state, KeyPlace place) {
    if (m.ended) return;
    const PadReading reading = read_pad(m.pads[pad], state, place);
    for (const KeyStroke& stroke : reading.strokes)
        match_key(m, stroke);
    if (!reading.aim || m.replay) return;
    const GameWorld& w = m.session.world;
    const PadAim& aim = *reading.aim;
    const double reach = PAD_AIM_NEAREST + (PAD_AIM_FARTHEST - PAD_AIM_NEAREST) * aim.reach;
    const auto x = static_cast<float>(w.tank_x[0] + aim.x * reach);
    const auto y = static_cast<float>(w.tank_y[0] + aim.y * reach);
    if (std::nearbyint(x) == w.mouse_x && std::nearbyint(y) == w.mouse_y) return;
    session_take(m.session, {.kind = InputKind::MouseMove, .x = x, .y = y});
}

void match_pad_gone(Match& m, int pad, KeyPlace place) {
    const auto gone = m.pads.find(pad);
    if (gone == m.pads.end() || m.ended) return;
    for (const KeyStroke& stroke : let_go(gone->second, place))
        match_key(m, stroke);
    m.pads.erase(gone);
    if (m.replay) {
        if (!m.viewer.paused) view(m, ReplayAct::Pause);
    } else if (m.session.controls.battle_timer_running) {
        session_take(m.session, {.kind = InputKind::KeyPress, .character = CharCode::LowerP});
    }
}

void match_take(Match& m, const InputEvent& event) {
    if (!m.replay && !m.ended) session_take(m.session, event);
}

void match_close(Match& m) {
    if (m.ended) return;
    if (m.replay) {
        m.ending = SessionEnd{};
        tell_front_end(m);
    } else {
        session_take(m.session, {.kind = InputKind::Click, .button = SmallButton::Quit});
    }
}

void match_seek(Match& m, int period) {
    if (!m.replay || m.ended) return;
    jump_to(m, period);
    tell_front_end(m);
}

bool match_run_period(Match& m, bool shown) {
    if (m.ended) return false;
    if (m.replay) {
        const bool ticked = run_replay_period(m);
        tell_front_end(m);
        return ticked;
    }
    const bool ticked = m.recorder ? record_period(*m.recorder, m.session, shown)
                                   : session_run_period(m.session, shown);
    if (m.recorder) keep_where_it_stands(m, m.recorder->lines, ReplayState::Running);
    after_battle_period(m);
    hear(m);
    hear_engine(m, true);
    tell_front_end(m);
    return ticked;
}

void match_set_display_scale(Match& m, double scale) {
    if (m.front_end == nullptr) return;  // not started yet: it starts at its scale
    session_set_display_scale(m.session, scale);
    tell_front_end(m);
}

void match_sound(Match& m, std::span<float> stereo) {
    mixer_render(m.mixer, stereo);
}

bool match_audible(const Match& m) {
    const bool moving = m.replay ? !m.viewer.paused && replay_running(m)
                                 : m.session.controls.battle_timer_running && !m.ended;
    return !m.mixer.muted && (moving || mixer_sounding(m.mixer));
}

void match_set_muted(Match& m, bool muted) {
    m.mixer.muted = muted;
}

void match_set_vibration_off(Match& m, bool off) {
    m.vibration_off = off;
}

void match_end_battle(Match& m) {
    if (m.recorder && !m.replay) record_end(*m.recorder, m.session);
}

ToKeep match_to_keep(Match& m) {
    ToKeep k;
    k.lines = std::move(m.left_lines);
    k.ends = m.left_ends;
    m.left_lines.clear();
    m.left_ends = false;
    if (!m.recorder) return k;
    BattleRecorder& r = *m.recorder;
    std::string& lines = m.anew ? k.first_lines : k.lines;
    lines += r.text.substr(r.kept);
    r.kept = r.text.size();
    k.anew = std::exchange(m.anew, false);
    if (!k.anew) k.ends = r.ended;
    k.sync = std::exchange(r.sync_due, false) || k.ends;
    return k;
}

std::string match_battle(const Match& m) {
    if (!m.recorder) return "";
    return m.replay ? m.recorder->text : battle_so_far(*m.recorder, m.session);
}

std::string match_battle_link(const Match& m) {
    const std::string battle = match_battle(m);
    return battle.empty() ? "" : battle_link(read_battle(battle, "battle"));
}

ReplayStanding replay_standing(const Match& m) {
    ReplayStanding r;
    if (!m.replay) return r;
    const ReplayViewer& v = m.viewer;
    r.replaying = true;
    r.state = m.replay->state;
    r.period = static_cast<int>(m.session.periods);
    r.length = m.replay->file.last_period;
    r.speed = v.speed;
    r.paused = v.paused;
    r.line = "Level " + std::to_string(m.session.world.level) + " · " + clock_text(r.period) +
             " / " + clock_text(r.length) + " · " + REPLAY_SPEEDS[v.speed].name;
    const char* note = v.of == ReplayOf::BroughtBack  ? BROUGHT_BACK
                       : v.of == ReplayOf::Rewound    ? REWOUND
                       : r.state == ReplayState::Over ? REPLAY_OVER
                       : v.paused                     ? REPLAY_PAUSED
                                                      : "";
    if (*note != '\0') r.line += std::string(" · ") + note;
    return r;
}

std::size_t kept_states_size(const Match& m) {
    std::size_t size = 0;
    for (const KeptState& kept : m.kept)
        size += kept_size(kept);
    return size;
}
