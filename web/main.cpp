// The browser front end: the battle session behind a <canvas> and two
// <dialog>s. The page (page.js) runs the periods from requestAnimationFrame
// and hands over its events; this file is the session's front end there,
// showing the picture and opening and closing the dialogs through the page.
// Each battle is kept in memory as a battle file as it is played, and a
// battle file (from a link or a file) can be shown again.
#include <emscripten.h>

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "record/recording.h"
#include "session/session.h"
#include "web/event_translation.h"

namespace {

// The page's side of the seam, in page.js.
EM_JS(void, page_show, (int left, int top, int width, int height), {
    quenmarPage.show(left, top, width, height);
});
EM_JS(void, page_open_result, (int wins, int losses), { quenmarPage.openResult(wins, losses); });
EM_JS(void, page_open_help, (), { quenmarPage.openHelp(); });
EM_JS(void, page_close, (int help), { quenmarPage.close(help !== 0); });
EM_JS(void, page_end, (int status, const char* message), {
    quenmarPage.end(status, UTF8ToString(message));
});

class PageFrontEnd final : public FrontEnd {
  public:
    // The picture as the canvas takes it: red, green, blue, alpha bytes.
    std::vector<std::uint8_t> rgba;

    void show_picture(std::span<const PixelBox> changed) override;
    void open_result_window(ResultScore score) override { page_open_result(score.wins, score.losses); }
    void open_help_window() override { page_open_help(); }
    void close_small_window(SmallWindow window) override { page_close(window == SmallWindow::Help); }
    void end_program(int status, std::string_view message) override;
};

Session session;
PageFrontEnd page;
BattleRecorder recorder;
std::string battle_text;        // the battle being played, as a battle file
std::optional<Replay> replay;   // the battle being shown again
bool replay_paused = false;
std::string said;               // the last text handed to the page

void PageFrontEnd::end_program(int status, std::string_view message) {
    if (replay && status == 0) return;  // the recorded battle was quit: the replay stands on it
    const std::string line(message);
    page_end(status, line.c_str());
}

void PageFrontEnd::show_picture(std::span<const PixelBox> changed) {
    const Surface& s = session.picture;
    rgba.resize(s.pixels.size() * 4);
    for (const PixelBox& box : changed) {
        for (int y = box.top; y <= box.bottom; ++y) {
            for (int x = box.left; x <= box.right; ++x) {
                const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width) +
                                       static_cast<std::size_t>(x);
                const std::uint32_t p = s.pixels[at];
                rgba[4 * at] = static_cast<std::uint8_t>(p >> 16);
                rgba[4 * at + 1] = static_cast<std::uint8_t>(p >> 8);
                rgba[4 * at + 2] = static_cast<std::uint8_t>(p);
                rgba[4 * at + 3] = 0xFF;
            }
        }
        page_show(box.left, box.top, box.right - box.left + 1, box.bottom - box.top + 1);
    }
}

void take(const BrowserEvent& event, int part, int& handled) {
    const std::optional<InputEvent> record = translate_browser_event(event, static_cast<PagePart>(part));
    handled = record.has_value();
    if (record) session_take(session, *record);
}

}  // namespace

// What the page calls.
extern "C" {

// A new battle on a field of width x height units, `scale` pixels to a unit.
EMSCRIPTEN_KEEPALIVE void quenmar_start(int width, int height, double scale) {
    replay.reset();
    session_start(session, page, random_from_clock(), width, height, scale);
    record_start(recorder, session);
    battle_text = std::move(recorder.unwritten);
    recorder.unwritten.clear();
}

// Shows the battle file `text` again; "" when it runs, else the one line
// that says what is wrong with it.
EMSCRIPTEN_KEEPALIVE const char* quenmar_replay(const char* text, const char* name, double scale) {
    std::istringstream in{std::string(text)};
    try {
        BattleFile file = parse_battle_file(in, name);
        replay.emplace();
        replay_paused = false;
        replay_start(*replay, session, page, std::move(file), scale);
        said.clear();
    } catch (const InputError& e) {
        said = e.what();
    }
    return said.c_str();
}

// One period; returns whether it ticked. A paused replay waits.
EMSCRIPTEN_KEEPALIVE int quenmar_period(int shown) {
    if (replay) return !replay_paused && replay_period(*replay, session);
    const bool ticked = record_period(recorder, session, shown != 0);
    battle_text += recorder.unwritten;
    recorder.unwritten.clear();
    return ticked;
}

// The replay: 0 running, 1 over, 2 parted from its recorded battle (-1 when
// none runs); quenmar_replay_message says it in one line.
EMSCRIPTEN_KEEPALIVE int quenmar_replay_state() {
    return replay ? static_cast<int>(replay->state) : -1;
}
EMSCRIPTEN_KEEPALIVE const char* quenmar_replay_message() {
    said = !replay ? "" : replay->state == ReplayState::Parted ? replay->message
                        : replay_paused                        ? REPLAY_PAUSED
                        : replay->state == ReplayState::Over   ? REPLAY_OVER
                                                               : "";
    return said.c_str();
}
EMSCRIPTEN_KEEPALIVE void quenmar_replay_pause() {
    replay_paused = !replay_paused;
}

// The battle played so far as a battle file, checked at its last period.
EMSCRIPTEN_KEEPALIVE const char* quenmar_battle() {
    said = battle_text;
    if (!recorder.ended && session.periods > 0) said += check_line(static_cast<int>(session.periods), world_hash(session));
    return said.c_str();
}

EMSCRIPTEN_KEEPALIVE void quenmar_set_scale(double scale) {
    session_set_display_scale(session, scale);
}

// A key event (type 0 down, 1 up) for a part of the page; returns whether
// the game took it.
EMSCRIPTEN_KEEPALIVE int quenmar_key(int type, int part, const char* code, const char* key, int repeat,
                                     int shift) {
    int handled = 0;
    take({.type = type == 0 ? BrowserEventType::KeyDown : BrowserEventType::KeyUp,
          .code = code,
          .key = key,
          .repeat = repeat != 0,
          .shift = static_cast<std::int16_t>(shift)},
         part, handled);
    return handled;
}

// A mouse event (type 0 down, 1 move, 2 up) over the field, in drawing units.
EMSCRIPTEN_KEEPALIVE void quenmar_mouse(int type, int button, int buttons, float x, float y, int shift) {
    constexpr BrowserEventType types[] = {BrowserEventType::MouseDown, BrowserEventType::MouseMove,
                                          BrowserEventType::MouseUp};
    int handled = 0;
    take({.type = types[type], .button = button, .buttons = buttons, .x = x, .y = y,
          .shift = static_cast<std::int16_t>(shift)},
         static_cast<int>(PagePart::Field), handled);
}

// A button of a dialog: 0 Quit, 1 Back, 2 Next level, 3 Close.
EMSCRIPTEN_KEEPALIVE void quenmar_click(int button) {
    session_take(session, {.kind = InputKind::Click, .button = static_cast<SmallButton>(button)});
}

EMSCRIPTEN_KEEPALIVE void quenmar_keyboard_lost() {
    session_take(session, {.kind = InputKind::KeyboardLost});
}

// The picture for the canvas, and its size in pixels.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* quenmar_picture() {
    return page.rgba.data();
}
EMSCRIPTEN_KEEPALIVE int quenmar_picture_width() {
    return session.picture.width;
}
EMSCRIPTEN_KEEPALIVE int quenmar_picture_height() {
    return session.picture.height;
}

// The read-only view for tests: one number a call, by index.
EMSCRIPTEN_KEEPALIVE double quenmar_state(int index) {
    const Session& s = session;
    const double values[] = {static_cast<double>(s.periods), static_cast<double>(s.ticks),
                             static_cast<double>(s.world.level), static_cast<double>(s.world.wins),
                             static_cast<double>(s.world.losses),
                             s.controls.battle_timer_running ? 1.0 : 0.0,
                             s.controls.result_window_open ? 1.0 : 0.0,
                             s.controls.help_window_open ? 1.0 : 0.0, s.world.tank_x[0],
                             s.world.tank_y[0], s.world.tank_speed[0]};
    return index >= 0 && index < static_cast<int>(std::size(values)) ? values[index] : 0;
}

}  // extern "C"
