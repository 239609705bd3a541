// The browser front end: the battle session behind a <canvas> and two
// <dialog>s. The page (page.js) runs the periods from its timer and hands
// over its events through the named calls at the end of this file; this file
// is the session's front end there, showing the picture and opening and
// closing the dialogs through the page.
// Each battle is kept in memory as a battle file as it is played, and a
// battle file (from a link or a file) can be shown again.
#include <emscripten.h>
#include <emscripten/bind.h>

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "input/help_window.h"
#include "input/result_window.h"
#include "record/recording.h"
#include "session/session.h"
#include "web/event_translation.h"

namespace {

// The page's side of the seam, in page.js.
EM_JS(void, page_show, (const std::uint8_t* rgba, int picture_width, int picture_height, int left, int top,
                       int width, int height), {
    quenmarPage.show(HEAPU8.buffer, rgba, picture_width, picture_height, left, top, width, height);
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
TouchState touches;             // the fingers on the drive pad and the field

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
        page_show(rgba.data(), s.width, s.height, box.left, box.top, box.right - box.left + 1,
                  box.bottom - box.top + 1);
    }
}

PagePart page_part(const std::string& part) {
    return part == "result" ? PagePart::Result : part == "help" ? PagePart::Help : PagePart::Field;
}

// The dialogs' buttons by their texts.
constexpr std::pair<const char*, SmallButton> BUTTON_TEXTS[] = {
    {QUIT_TEXT, SmallButton::Quit}, {BACK_TEXT, SmallButton::Back},
    {NEXT_LEVEL_TEXT, SmallButton::NextLevel}, {CLOSE_TEXT, SmallButton::Close}};

// What the page calls, by name (embind); its texts and sizes come from here too.

// A new battle on a field of width x height units, `scale` pixels to a unit.
void start(int width, int height, double scale) {
    replay.reset();
    session_start(session, page, random_from_clock(), width, height, scale);
    record_start(recorder, session);
    battle_text = std::move(recorder.unwritten);
    recorder.unwritten.clear();
}

// Shows the battle file `text` again; "" when it runs, else the one line
// that says what is wrong with it.
std::string replay_battle(const std::string& text, const std::string& name, double scale) {
    std::istringstream in{text};
    try {
        BattleFile file = parse_battle_file(in, name);
        replay.emplace();
        replay_paused = false;
        replay_start(*replay, session, page, std::move(file), scale);
        return "";
    } catch (const InputError& e) {
        return e.what();
    }
}

// One period; returns whether it ticked. A paused replay waits.
bool period(bool shown) {
    if (replay) return !replay_paused && replay_period(*replay, session);
    const bool ticked = record_period(recorder, session, shown);
    battle_text += recorder.unwritten;
    recorder.unwritten.clear();
    return ticked;
}

// The replay: "running", "over" or "parted" from its recorded battle ("" when
// none runs); replay_message says it in one line.
std::string replay_state() {
    if (!replay) return "";
    switch (replay->state) {
        case ReplayState::Running:
            return "running";
        case ReplayState::Over:
            return "over";
        case ReplayState::Parted:
            return "parted";
    }
    return "";
}
std::string replay_message() {
    return !replay                                  ? ""
           : replay->state == ReplayState::Parted ? replay->message
           : replay_paused                        ? REPLAY_PAUSED
           : replay->state == ReplayState::Over   ? REPLAY_OVER
                                                  : "";
}
void replay_pause() {
    replay_paused = !replay_paused;
}

// The battle played so far as a battle file, checked at its last period.
std::string battle() {
    std::string text = battle_text;
    if (!recorder.ended && session.periods > 0) text += check_line(static_cast<int>(session.periods), world_hash(session));
    return text;
}

void set_scale(double scale) {
    session_set_display_scale(session, scale);
}

// A key event (down or up) for a part of the page; returns whether the game took it.
bool key(bool down, const std::string& part, const std::string& code, const std::string& typed, bool repeat,
         int shift) {
    const auto record = translate_browser_event({.type = down ? BrowserEventType::KeyDown : BrowserEventType::KeyUp,
                                                 .code = code,
                                                 .key = typed,
                                                 .repeat = repeat,
                                                 .shift = static_cast<std::int16_t>(shift)},
                                                page_part(part));
    if (record) session_take(session, *record);
    return record.has_value();
}

// A mouse event ("down", "move", "up") over the field, in drawing units.
void mouse(const std::string& type, int button, int buttons, float x, float y, int shift) {
    const BrowserEventType kind = type == "down" ? BrowserEventType::MouseDown
                                  : type == "up" ? BrowserEventType::MouseUp
                                                 : BrowserEventType::MouseMove;
    const auto record = translate_browser_event(
        {.type = kind, .button = button, .buttons = buttons, .x = x, .y = y, .shift = static_cast<std::int16_t>(shift)},
        PagePart::Field);
    if (record) session_take(session, *record);
}

// A finger ("start", "move", "end") on the drive pad (x, y from -1 to 1 about
// its middle) or on the field (drawing units).
void touch(const std::string& type, int finger, bool on_pad, float x, float y) {
    const TouchPhase phase = type == "start" ? TouchPhase::Start : type == "end" ? TouchPhase::End : TouchPhase::Move;
    for (const InputEvent& record :
         translate_touch(touches, {.phase = phase, .finger = finger, .on_pad = on_pad, .x = x, .y = y}))
        session_take(session, record);
}

// A button of a dialog, by its text.
void click(const std::string& text) {
    for (const auto& [caption, button] : BUTTON_TEXTS) {
        if (text == caption) session_take(session, {.kind = InputKind::Click, .button = button});
    }
}

void keyboard_lost() {
    touches = {};
    session_take(session, {.kind = InputKind::KeyboardLost});
}

// What the page says and how it runs, from the game.
emscripten::val texts() {
    using emscripten::val;
    val help = val::array();
    for (const char* line : HELP_LINES) help.call<void>("push", std::string(line));
    val t = val::object();
    for (const auto& [name, text] :
         {std::pair{"resultTitle", RESULT_TITLE}, {"wins", WINS_CAPTION}, {"losses", LOSSES_CAPTION},
          {"quit", QUIT_TEXT}, {"back", BACK_TEXT}, {"nextLevel", NEXT_LEVEL_TEXT}, {"helpTitle", HELP_TITLE},
          {"close", CLOSE_TEXT}})
        t.set(name, std::string(text));
    t.set("help", help);
    t.set("fieldWidth", DESIGN_WIDTH);
    t.set("fieldHeight", DESIGN_HEIGHT);
    t.set("periodMs", PERIOD_MS);
    return t;
}

// A read-only view of the battle, for the page's line and for tests.
struct PageState {
    double periods, ticks;
    int level, wins, losses;
    bool running, result_open, help_open;
    double player_x, player_y, player_speed;
    int player_shell;  // the player's shell: 0 ready, 1 bursting, 2 and more flying
};

PageState state() {
    const Session& s = session;
    return {static_cast<double>(s.periods), static_cast<double>(s.ticks), s.world.level, s.world.wins,
            s.world.losses, s.controls.battle_timer_running, s.controls.result_window_open,
            s.controls.help_window_open, s.world.tank_x[0], s.world.tank_y[0], s.world.tank_speed[0],
            s.world.shell_state[0]};
}

}  // namespace

EMSCRIPTEN_BINDINGS(quenmar) {
    using namespace emscripten;
    value_object<PageState>("State")
        .field("periods", &PageState::periods)
        .field("ticks", &PageState::ticks)
        .field("level", &PageState::level)
        .field("wins", &PageState::wins)
        .field("losses", &PageState::losses)
        .field("running", &PageState::running)
        .field("resultOpen", &PageState::result_open)
        .field("helpOpen", &PageState::help_open)
        .field("playerX", &PageState::player_x)
        .field("playerY", &PageState::player_y)
        .field("playerSpeed", &PageState::player_speed)
        .field("playerShell", &PageState::player_shell);
    function("start", &start);
    function("replay", &replay_battle);
    function("period", &period);
    function("replayState", &replay_state);
    function("replayMessage", &replay_message);
    function("replayPause", &replay_pause);
    function("battle", &battle);
    function("setScale", &set_scale);
    function("key", &key);
    function("mouse", &mouse);
    function("touch", &touch);
    function("click", &click);
    function("keyboardLost", &keyboard_lost);
    function("texts", &texts);
    function("state", &state);
}
