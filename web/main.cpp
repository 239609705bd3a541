// The browser front end: the match behind a <canvas> and two <dialog>s. The
// page (page.js and its parts) runs the periods from its timer and hands over
// its events through the named calls at the end of this file; this file is
// the match's front end there, showing the picture, the replay's line and
// the dialogs through the page's calls (Module.page). The match keeps the
// battle being played as a battle file, which the page keeps in the
// browser's storage, hands on as a link and brings back.
#include <emscripten.h>
#include <emscripten/bind.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "input/help_window.h"
#include "input/result_window.h"
#include "match/match.h"
#include "web/event_translation.h"

namespace {

// The page's side of the seam, in page.js.
EM_JS(void, page_show,
      (const std::uint8_t* rgba, int picture_width, int picture_height, int left, int top,
       int width, int height),
      {
          Module.page.show(HEAPU8.buffer, rgba, picture_width, picture_height, left, top, width,
                           height);
      });
EM_JS(void, page_open_result, (int wins, int losses), { Module.page.openResult(wins, losses); });
EM_JS(void, page_open_help, (), { Module.page.openHelp(); });
EM_JS(void, page_close, (int help), { Module.page.close(help != 0); });
EM_JS(void, page_keep_muted, (int muted), { Module.page.keepMuted(muted != 0); });
EM_JS(void, page_keep_vibration_off, (int off), { Module.page.keepVibrationOff(off != 0); });
EM_JS(void, page_move_focus, (int help, int step), { Module.page.moveFocus(help != 0, step); });
EM_JS(void, page_press_focused, (int help), { Module.page.pressFocused(help != 0); });
EM_JS(void, page_rumble, (double strength, int ms), { Module.page.rumble(strength, ms); });
EM_JS(void, page_replay, (const char* line, int period, int length),
      { Module.page.showReplay(UTF8ToString(line), period, length); });
EM_JS(void, page_end, (int status, const char* message),
      { Module.page.end(status, UTF8ToString(message)); });

class PageFrontEnd final : public FrontEnd {
  public:
    // The picture as the canvas takes it: red, green, blue, alpha bytes.
    std::vector<std::uint8_t> rgba;

    void show_picture(std::span<const PixelBox> changed) override;
    void open_result_window(ResultScore score) override {
        page_open_result(score.wins, score.losses);
    }
    void open_help_window() override { page_open_help(); }
    void close_small_window(SmallWindow window) override {
        page_close(window == SmallWindow::Help);
    }
    void show_replay(std::string_view line, int period, int length) override {
        page_replay(std::string(line).c_str(), period, length);
    }
    void move_focus(SmallWindow window, int step) override {
        page_move_focus(window == SmallWindow::Help, step);
    }
    void press_focused(SmallWindow window) override {
        page_press_focused(window == SmallWindow::Help);
    }
    void rumble(double strength, int ms) override { page_rumble(strength, ms); }
    void keep_muted(bool muted) override { page_keep_muted(muted); }
    void keep_vibration_off(bool off) override { page_keep_vibration_off(off); }
    void end_program(int status, std::string_view message) override {
        page_end(status, std::string(message).c_str());
    }
};

Match match;
PageFrontEnd page;
TouchState touches;  // the fingers on the drive pad and the field

void PageFrontEnd::show_picture(std::span<const PixelBox> changed) {
    const Surface& s = match.session.picture;
    rgba.resize(s.pixels.size() * 4);
    for (const PixelBox& box : changed) {
        for (int y = box.top; y <= box.bottom; ++y) {
            const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width);
            for (std::size_t at = row + static_cast<std::size_t>(box.left);
                 at <= row + static_cast<std::size_t>(box.right); ++at) {
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

KeyPlace key_place(const std::string& part) {
    return part == "result" ? KeyPlace::Result : part == "help" ? KeyPlace::Help : KeyPlace::Field;
}

// What the page calls, by name (embind); its texts and sizes come from here too.

// A new battle on a field of width x height units, `scale` pixels to a unit.
void start(int width, int height, double scale) {
    match_start_game(match, page, random_from_clock(), width, height, scale);
}

// Shows a battle again from the bytes of a battle file or a link; "" when it
// runs, else the one line that says what is wrong with them.
std::string replay_battle(const std::string& bytes, const std::string& name, double scale) {
    try {
        match_start_replay(match, page, read_battle(bytes, name), scale);
        return "";
    } catch (const InputError& e) {
        return e.what();
    }
}

// Brings back the player's own battle from what the page kept of it.
BroughtBack bring_back(const std::string& bytes, const std::string& name, double scale) {
    return match_bring_back(match, page, bytes, name, scale);
}

// One period of the page's timer; returns whether the battle ticked.
bool period(bool shown) {
    return match_run_period(match, shown);
}

// The battle played so far as a battle file, checked at its last period.
std::string battle() {
    return match_battle(match);
}

// The same in its link form, for the page to deflate: a view the page copies at once.
emscripten::val link_bytes() {
    static std::string bytes;
    bytes = match_battle_link(match);
    return emscripten::val(emscripten::typed_memory_view(
        bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data())));
}

ToKeep to_keep() {
    return match_to_keep(match);
}

void set_scale(double scale) {
    match_set_display_scale(match, scale);
}

// The next `frames` frames of the game's sound, left and right in turn, or
// none while nothing can be heard: a view the page copies at once. What
// plays while the sound is off is not heard once it is on again.
emscripten::val sound(int frames) {
    static std::vector<float> stereo;
    if (match.mixer.muted) mixer_silence(match.mixer);
    if (!mixer_sounding(match.mixer)) return emscripten::val::null();
    stereo.resize(2 * static_cast<std::size_t>(frames));
    match_sound(match, stereo);
    return emscripten::val(emscripten::typed_memory_view(stereo.size(), stereo.data()));
}

// Stops what plays: the sounds of periods played while nothing could be heard.
void silence() {
    mixer_silence(match.mixer);
}

// Starts with the sound off or on, as the page kept the player's choice.
void set_muted(bool muted) {
    match_set_muted(match, muted);
}

// A key pressed or let go in a part of the page ("field", "result", "help");
// returns whether the game took it.
bool key(bool pressed, const std::string& part, const std::string& code, const std::string& typed,
         bool repeat) {
    const std::optional<Key> name = browser_key(code, typed);
    return name &&
           match_key(
               match,
               {.key = *name, .pressed = pressed, .repeat = repeat, .place = key_place(part)});
}

// A mouse event ("down", "move", "up") over the field, in drawing units.
void mouse(const std::string& type, int button, int buttons, float x, float y, int shift) {
    const MouseType kind = type == "down" ? MouseType::Down
                           : type == "up" ? MouseType::Up
                                          : MouseType::Move;
    match_take(match, browser_mouse({.type = kind,
                                     .button = button,
                                     .buttons = buttons,
                                     .x = x,
                                     .y = y,
                                     .shift = static_cast<std::int16_t>(shift)}));
}

// A finger ("start", "move", "end") on the drive pad (x, y from -1 to 1 about
// its middle) or on the field (drawing units).
void touch(const std::string& type, int finger, bool on_pad, float x, float y) {
    const TouchPhase phase = type == "start" ? TouchPhase::Start
                             : type == "end" ? TouchPhase::End
                                             : TouchPhase::Move;
    const Touched touched = translate_touch(
        touches, {.phase = phase, .finger = finger, .on_pad = on_pad, .x = x, .y = y});
    for (const KeyStroke& stroke : touched.keys)
        match_key(match, stroke);
    for (const InputEvent& record : touched.records)
        match_take(match, record);
}

// A pad's reading this period (web/event_translation.h), with the part of
// the page that has the keyboard.
void pad(int index, int pressed, float left_trigger, float right_trigger, float left_x,
         float left_y, float right_x, float right_y, const std::string& part) {
    match_pad(match, index,
              standard_pad(static_cast<std::uint32_t>(pressed), left_trigger, right_trigger,
                           {left_x, left_y, right_x, right_y}),
              key_place(part));
}

// A pad went away.
void pad_gone(int index, const std::string& part) {
    match_pad_gone(match, index, key_place(part));
}

// Starts with the rumble off or on, as the page kept the player's choice.
void set_vibration_off(bool off) {
    match_set_vibration_off(match, off);
}

// The replay's position bar, set to `period`.
void seek(int period) {
    match_seek(match, period);
}

// A button of a dialog, by its name ("quit", "back", "next_level", "close").
void click(const std::string& name) {
    if (const std::optional<SmallButton> button = small_button_named(name)) {
        match_take(match, {.kind = InputKind::Click, .button = *button});
    }
}

void keyboard_lost() {
    touches = {};
    match_take(match, {.kind = InputKind::KeyboardLost});
}

// The level the battle stands at, for the line under the field.
int level() {
    return match.session.world.level;
}

// What the page says and how it runs, from the game.
emscripten::val texts() {
    using emscripten::val;
    val help = val::array();
    for (const char* line : HELP_LINES)
        help.call<void>("push", std::string(line));
    for (const char* line : {SOUND_HELP_LINE, REWIND_HELP_LINE, VIBRATION_HELP_LINE}) {
        help.call<void>("push", std::string(line));
    }
    val pad_help = val::array();
    for (const char* line : PAD_HELP_LINES)
        pad_help.call<void>("push", std::string(line));
    val t = val::object();
    for (const auto& [name, text] : {std::pair{"resultTitle", RESULT_TITLE},
                                     {"wins", WINS_CAPTION},
                                     {"losses", LOSSES_CAPTION},
                                     {"quit", QUIT_TEXT},
                                     {"back", BACK_TEXT},
                                     {"nextLevel", NEXT_LEVEL_TEXT},
                                     {"helpTitle", HELP_TITLE},
                                     {"close", CLOSE_TEXT}})
        t.set(name, std::string(text));
    t.set("help", help);
    t.set("padHelp", pad_help);
    t.set("fieldWidth", DESIGN_WIDTH);
    t.set("fieldHeight", DESIGN_HEIGHT);
    t.set("periodMs", PERIOD_MS);
    t.set("keepPeriods", KEEP_PERIODS);
    t.set("sampleRate", SAMPLE_RATE);
    t.set("longestBattle", static_cast<double>(LONGEST_BATTLE));
    return t;
}

// A read-only view of the battle, for tests.
struct PageState {
    double periods, ticks;
    int level, wins, losses;
    bool running, result_open, help_open;
    double player_x, player_y, player_speed, player_dir;
    int player_shell;          // the player's shell: 0 ready, 1 bursting, 2 and more flying
    int pointer_x, pointer_y;  // where the battle holds the pointer
    std::string world;         // the world's hash, 16 hexadecimal digits
    // A replay: "running", "over" or "parted" ("" for a battle being played),
    // the periods it has run of its length, its speed's name and its pause.
    std::string replay;
    int replay_period, replay_length;
    std::string replay_speed;
    bool replay_paused;
    bool muted;
    int shots_played;  // the player's shots the sound has played, heard or muted
};

PageState state() {
    const Session& s = match.session;
    const ReplayStanding r = replay_standing(match);
    constexpr const char* STATES[] = {"running", "over", "parted"};
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(world_hash(s)));
    return {static_cast<double>(s.periods),
            static_cast<double>(s.ticks),
            s.world.level,
            s.world.wins,
            s.world.losses,
            s.controls.battle_timer_running,
            s.controls.result_window_open,
            s.controls.help_window_open,
            s.world.tank_x[0],
            s.world.tank_y[0],
            s.world.tank_speed[0],
            s.world.tank_dir[0],
            s.world.shell_state[0],
            s.world.mouse_x,
            s.world.mouse_y,
            hash,
            r.replaying ? STATES[static_cast<int>(r.state)] : "",
            r.period,
            r.length,
            REPLAY_SPEEDS[r.speed].name,
            r.paused,
            match.mixer.muted,
            match.mixer.started[static_cast<std::size_t>(Sound::PlayerShot)]};
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
        .field("playerDir", &PageState::player_dir)
        .field("playerShell", &PageState::player_shell)
        .field("pointerX", &PageState::pointer_x)
        .field("pointerY", &PageState::pointer_y)
        .field("world", &PageState::world)
        .field("replay", &PageState::replay)
        .field("replayPeriod", &PageState::replay_period)
        .field("replayLength", &PageState::replay_length)
        .field("replaySpeed", &PageState::replay_speed)
        .field("replayPaused", &PageState::replay_paused)
        .field("muted", &PageState::muted)
        .field("shotsPlayed", &PageState::shots_played);
    value_object<BroughtBack>("BroughtBack")
        .field("back", &BroughtBack::back)
        .field("why", &BroughtBack::why);
    value_object<ToKeep>("ToKeep")
        .field("lines", &ToKeep::lines)
        .field("ends", &ToKeep::ends)
        .field("sync", &ToKeep::sync)
        .field("anew", &ToKeep::anew)
        .field("firstLines", &ToKeep::first_lines);
    function("start", &start);
    function("replay", &replay_battle);
    function("bringBack", &bring_back);
    function("period", &period);
    function("seek", &seek);
    function("battle", &battle);
    function("battleLink", &link_bytes);
    function("toKeep", &to_keep);
    function("setScale", &set_scale);
    function("sound", &sound);
    function("setMuted", &set_muted);
    function("silence", &silence);
    function("key", &key);
    function("mouse", &mouse);
    function("touch", &touch);
    function("pad", &pad);
    function("padGone", &pad_gone);
    function("setVibrationOff", &set_vibration_off);
    function("click", &click);
    function("keyboardLost", &keyboard_lost);
    function("level", &level);
    function("texts", &texts);
    function("state", &state);
}
