// The battle window: frameless, its whole client area the match's picture,
// over whose lower edge it shows a replay's line. Its timer runs the match's
// periods; its mouse and size become input records for the match, and as
// the match's front end it opens and closes the two small windows, keeps the
// battle and ends the program. The battle, played or shown again, is the
// match's.
#pragma once

#include <QBasicTimer>
#include <QWidget>
#include <memory>

#include "match/match.h"
#include "qt/battle_keeper.h"
#include "qt/pads.h"
#include "qt/replay_line.h"
#include "qt/settings.h"
#include "qt/small_windows.h"
#include "qt/sound_output.h"

class MainWindow final : public QWidget, public FrontEnd {
  public:
    // A window for `match`, which the caller then starts on it, keeping its
    // battles with `keeper`; the timer runs its periods from the start.
    MainWindow(Match& match, BattleKeeper& keeper);

    // Plays the match's sound on the default sound device.
    void play_sound() { (sound_ = new SoundOutput(match_, this))->start(); }
    // Takes the game pads' input too.
    void take_pads() { pads_ = std::make_unique<Pads>(); }
    // Times the sound device ran out of frames.
    int sound_underruns() const { return sound_ != nullptr ? sound_->underruns() : 0; }

    void show_picture(std::span<const PixelBox> changed) override;
    void open_result_window(ResultScore score) override {
        small_windows_.open(SmallWindow::Result, score);
    }
    void open_help_window() override { small_windows_.open(SmallWindow::Help); }
    void close_small_window(SmallWindow window) override { small_windows_.close(window); }
    void move_focus(SmallWindow window, int step) override {
        small_windows_.window(window).move_focus(step);
    }
    void press_focused(SmallWindow window) override {
        small_windows_.window(window).press_focused();
    }
    void rumble(double strength, int ms) override {
        if (pads_) pads_->rumble(strength, ms);
    }
    // In the title too.
    void show_replay(std::string_view line, int period, int length) override;
    void keep_muted(bool muted) override { keep_sound_off(muted); }
    void keep_vibration_off(bool off) override { keep_rumble_off(off); }
    // Keeps the last lines and stops the periods; a message is said as
    // say_and_end says it.
    void end_program(int status, std::string_view message) override;

    ResultWindow& result_window() { return small_windows_.result(); }
    HelpWindow& help_window() { return small_windows_.help(); }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    Match& match_;
    BattleKeeper& keeper_;
    ReplayLine replay_line_;  // empty while a battle is played
    QSize area_;              // the picture's area as last followed
    QBasicTimer battle_timer_;
    SoundOutput* sound_ = nullptr;
    std::unique_ptr<Pads> pads_;
    SmallWindows small_windows_{*this, match_};
};
