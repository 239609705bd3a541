#include "match/match.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "input/input_event.h"

namespace {

using Clock = std::chrono::steady_clock;

bool replay_running(const Match& m) {
    return m.replay && m.replay->state == ReplayState::Running && !m.ending && !m.ended;
}

// What match_start_game and match_start_replay both start afresh; a small
// window the last battle left open closes.
void start_afresh(Match& m, FrontEnd& front_end) {
    if (m.result_told) m.front_end->close_small_window(SmallWindow::Result);
    if (m.help_told) m.front_end->close_small_window(SmallWindow::Help);
    m.recorder.reset();
    m.viewer = ReplayViewer{};
    m.front_end = &front_end;
    m.changed.clear();
    m.ending.reset();
    m.ended = false;
    m.result_told = m.help_told = false;
    mixer_start(m.mixer);
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
    if (!m.changed.empty()) {
        Surface& picture = m.session.picture;
        for (const PixelBox& box : m.changed)
            surface_mark_changed(picture, box);
        surface_take_dirty_strips(picture,
                                  m.changed);  // one box a run of tiles, however often drawn
        fe.show_picture(m.changed);
        m.changed.clear();
    }
    if (m.replay) {
        ReplayStanding standing = replay_standing(m);
        if (standing.line != m.line_told || standing.note != m.note_told) {
            m.line_told = std::move(standing.line);
            m.note_told = std::move(standing.note);
            fe.show_replay(m.line_told, m.note_told);
        }
    }
    if (m.ending) {
        const SessionEnd end = *m.ending;
        m.ending.reset();
        m.ended = true;
        fe.end_program(end.status, end.message);
    }
}

// Plays what would be heard of the battle period just run, from the player's tank.
void hear(Match& m) {
    const Session& s = m.session;
    const Listener at_the_player{s.world.tank_x[0], s.world.tank_y[0],
                                 static_cast<double>(s.picture.area_width),
                                 static_cast<double>(s.picture.area_height)};
    mixer_play(m.mixer, s.cues, at_the_player);
}

// The engine runs while the player's tank moves in a battle that is shown
// running: not in a replay that stands still or is fighting through a jump.
void hear_engine(Match& m, bool running) {
    mixer_set_engine(m.mixer,
                     running && m.session.engine_running ? m.session.world.tank_speed[0] : 0.0);
}

// One recorded period, watched, or stepped or fought through by a jump (and
// then not heard: a replay that stands still is silent); keeps the battle at
// each checkpoint period the replay reaches for the first time.
bool replay_one(Match& m) {
    Replay& replay = *m.replay;
    const bool ticked = replay_period(replay, m.session);
    if (!m.viewer.paused && m.viewer.heading_to < 0) hear(m);
    ReplayViewer& v = m.viewer;
    const int period = static_cast<int>(m.session.periods);
    v.fought = std::max(v.fought, period);
    if (period == static_cast<int>(v.kept.size()) * CHECKPOINT_PERIODS) {
        v.kept.push_back(keep_state(m.session, replay));
    }
    if (replay.state == ReplayState::Parted)
        m.ending = SessionEnd{BATTLES_PARTED_STATUS, replay.message};
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

void jump_to(Match& m, int target) {
    ReplayViewer& v = m.viewer;
    target = std::clamp(target, 0, m.replay->file.last_period);
    const int now = static_cast<int>(m.session.periods);
    if (target == now && v.heading_to < 0) return;
    const KeptState& nearest =
        v.kept[std::min(static_cast<std::size_t>(target / CHECKPOINT_PERIODS), v.kept.size() - 1)];
    if (target < now || nearest.session.periods > now) restore_state(nearest, m.session, *m.replay);
    v.heading_to = target;
    mixer_silence(m.mixer);  // what played before the jump stops where it was
    // Within what was fought it lands at once; beyond it, the rest follows
    // a slice at a time.
    fight_toward(m, target <= v.fought ? Clock::time_point::max() : Clock::now());
}

void view(Match& m, const InputEvent& e) {
    ReplayViewer& v = m.viewer;
    const int now = static_cast<int>(m.session.periods);
    constexpr int SLOWEST = 0, FASTEST = static_cast<int>(std::size(REPLAY_SPEEDS)) - 1;
    switch (e.viewer) {
        case ViewerCommand::Pause:
            v.paused = !v.paused;
            if (v.paused) mixer_silence(m.mixer);
            break;
        case ViewerCommand::Step:
            if (!v.paused) mixer_silence(m.mixer);
            v.paused = true;
            if (replay_running(m) && v.heading_to < 0) replay_one(m);
            break;
        case ViewerCommand::Slower:
            v.speed = std::max(v.speed - 1, SLOWEST);
            break;
        case ViewerCommand::Faster:
            v.speed = std::min(v.speed + 1, FASTEST);
            break;
        case ViewerCommand::Back:
            jump_to(m, now - JUMP_PERIODS);
            break;
        case ViewerCommand::Forward:
            jump_to(m, (v.heading_to >= 0 ? v.heading_to : now) + JUMP_PERIODS);
            break;
        case ViewerCommand::Start:
            jump_to(m, 0);
            break;
        case ViewerCommand::End:
            jump_to(m, m.replay->file.last_period);
            break;
        case ViewerCommand::SeekTo:
            jump_to(m, e.period);
            break;
        case ViewerCommand::Close:
            m.ending = SessionEnd{};
            break;
    }
    tell_front_end(m);
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
    tell_front_end(m);
    return ticked;
}

std::string clock_text(int periods) {
    const int seconds = periods / (1000 / PERIOD_MS);
    std::string text = std::to_string(seconds / 60) + ":";
    if (seconds % 60 < 10) text += "0";
    return text + std::to_string(seconds % 60);
}

}  // namespace

void MatchRelay::show_picture(std::span<const PixelBox> changed) {
    match_.changed.insert(match_.changed.end(), changed.begin(), changed.end());
}

// The small windows are told as the session's controls stand once the
// period is over (tell_front_end).
void MatchRelay::open_result_window(ResultScore) {}
void MatchRelay::open_help_window() {}
void MatchRelay::close_small_window(SmallWindow) {}

void MatchRelay::end_program(int status, std::string_view message) {
    if (match_.replay && status == 0)
        return;  // the recorded battle was quit: the replay stands on it
    match_.ending = SessionEnd{status, std::string(message)};
}

void match_start_game(Match& m, FrontEnd& front_end, RandomSource random, int width, int height,
                      double scale, Kept kept) {
    start_afresh(m, front_end);
    if (m.replay) front_end.show_replay("", "");  // the replay's line goes
    m.replay.reset();
    m.line_told.clear();
    m.note_told.clear();
    session_start(m.session, m.relay, std::move(random), width, height, scale);
    if (kept == Kept::Yes) record_start(m.recorder.emplace(), m.session);
}

void match_start_replay(Match& m, FrontEnd& front_end, BattleFile file, double scale) {
    start_afresh(m, front_end);
    m.line_told.clear();
    m.note_told.clear();
    replay_start(m.replay.emplace(), m.session, m.relay, std::move(file), scale);
    m.viewer.kept.push_back(keep_state(m.session, *m.replay));
    tell_front_end(m);
}

void match_take(Match& m, const InputEvent& event) {
    if (m.ended) return;
    if (event.kind == InputKind::Mute) {
        m.mixer.muted = !m.mixer.muted;
        m.front_end->keep_muted(m.mixer.muted);
        return;
    }
    const bool viewer = event.kind == InputKind::Viewer;
    if (m.replay && viewer) {
        view(m, event);
    } else if (!m.replay && !viewer) {
        session_take(m.session, event);
    }
}

bool match_run_period(Match& m, bool shown) {
    if (m.ended) return false;
    if (m.replay) return run_replay_period(m);
    const bool ticked = m.recorder ? record_period(*m.recorder, m.session, shown)
                                   : session_run_period(m.session, shown);
    hear(m);
    hear_engine(m, true);
    tell_front_end(m);
    return ticked;
}

void match_set_display_scale(Match& m, double scale) {
    session_set_display_scale(m.session, scale);
    tell_front_end(m);
}

void match_sound(Match& m, std::span<float> stereo) {
    mixer_render(m.mixer, stereo);
}

void match_set_muted(Match& m, bool muted) {
    m.mixer.muted = muted;
}

void match_end_battle(Match& m) {
    if (m.recorder) record_end(*m.recorder, m.session);
}

bool match_write_out(Match& m, std::FILE* file) {
    return !m.recorder || write_out(*m.recorder, file);
}

std::string match_battle(const Match& m) {
    return m.recorder ? battle_so_far(*m.recorder, m.session) : "";
}

std::string match_battle_link(const Match& m) {
    return m.recorder ? battle_link(read_battle(match_battle(m), "battle")) : "";
}

ReplayStanding replay_standing(const Match& m) {
    ReplayStanding r;
    if (!m.replay) return r;
    const ReplayViewer& v = m.viewer;
    r.state = m.replay->state;
    r.period = static_cast<int>(m.session.periods);
    r.length = m.replay->file.last_period;
    r.speed = v.speed;
    r.paused = v.paused;
    r.line = "Level " + std::to_string(m.session.world.level) + " · " + clock_text(r.period) +
             " / " + clock_text(r.length) + " · " + REPLAY_SPEEDS[v.speed].name;
    r.note = r.state == ReplayState::Over ? REPLAY_OVER : v.paused ? REPLAY_PAUSED : "";
    return r;
}

std::size_t kept_states_size(const Match& m) {
    std::size_t size = 0;
    for (const KeptState& kept : m.viewer.kept)
        size += kept_size(kept);
    return size;
}
