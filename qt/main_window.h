// The battle window: frameless, its whole client area the match's picture.
// Its timer runs the match's periods, paintEvent shows the picture (and over
// its lower edge the line that says where a replay stands), Qt's events
// become input records for the match, and as the match's front end it opens
// and closes the two small windows and ends the program. The battle, played
// or shown again, is the match's; the window keeps its timer, its widgets
// and the file a battle is kept in.
#pragma once

#include <QBasicTimer>
#include <QWidget>
#include <cstdio>

#include "match/match.h"

#include "qt/help_window.h"
#include "qt/result_window.h"
#include "qt/sound_output.h"

// Whether the player last turned the sound off, as the game's settings keep it
// ($XDG_CONFIG_HOME/quenmar/quenmar.conf).
bool sound_kept_off();

class MainWindow final : public QWidget, public FrontEnd {
  public:
    // A window for `match`, which the caller then starts on it; the timer
    // runs its periods from the start.
    explicit MainWindow(Match& match);

    // Writes the battle being played to `file` as it goes, a period at a time.
    void keep_in(std::FILE* file) { record_file_ = file; }
    // Plays the match's sound on the default sound device.
    void play_sound();
    // Times the sound device ran out of frames.
    int sound_underruns() const { return sound_ != nullptr ? sound_->underruns() : 0; }

    void show_picture(std::span<const PixelBox> changed) override;
    void open_result_window(ResultScore score) override;
    void open_help_window() override;
    void close_small_window(SmallWindow window) override;
    // Says where the replay stands over the field's lower edge and in the title.
    void show_replay(std::string_view line, std::string_view note) override;
    // Keeps the choice in the game's settings.
    void keep_muted(bool muted) override;
    // Stops the periods; with a message, says it on standard error and in a
    // message box, and ends when the player has closed it.
    void end_program(int status, std::string_view message) override;

    // The small windows, created hidden on first use.
    SmallDialog& small_window(SmallWindow which);
    ResultWindow& result_window() {
        return static_cast<ResultWindow&>(small_window(SmallWindow::Result));
    }
    HelpWindow& help_window() { return static_cast<HelpWindow&>(small_window(SmallWindow::Help)); }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    // What the battle window's events are: the battle's, or a replay viewer's.
    EventSource source() const { return match_.replay ? EventSource::Replay : EventSource::Battle; }
    QRect replay_line_box() const;

    Match& match_;
    std::FILE* record_file_ = nullptr;
    QString replay_line_;  // where a replay stands; empty while a battle is played
    QBasicTimer battle_timer_;
    SoundOutput* sound_ = nullptr;
    ResultWindow* result_window_ = nullptr;
    HelpWindow* help_window_ = nullptr;
};
