// The battle window: frameless, its whole client area the session's picture.
// Its timer runs the session's periods, paintEvent shows the picture, Qt's
// events become input records, and as the session's front end it opens and
// closes the two small windows and ends the program. It owns nothing of the game.
// It can keep the battle in a battle file as it is played, or show a recorded
// battle again, which nothing the viewer does changes.
#pragma once

#include <QBasicTimer>
#include <QWidget>

#include "record/recording.h"
#include "session/session.h"

#include "qt/help_window.h"
#include "qt/result_window.h"

class MainWindow final : public QWidget, public FrontEnd {
  public:
    // Starts `session` on this window with the random sequence given; the
    // battle's timer runs from the start.
    MainWindow(Session& session, RandomSource random);
    // Shows the battle in `file` again at the game's pace: p or Space pauses
    // and resumes it, Esc or closing the window ends it.
    MainWindow(Session& session, BattleFile file);

    // Keeps the battle in `file`, a line at a time, from the first period.
    void record_to(std::FILE* file);

    void show_picture(std::span<const PixelBox> changed) override;
    void open_result_window(ResultScore score) override;
    void open_help_window() override;
    void close_small_window(SmallWindow window) override;
    // Stops the periods; with a message, says it on standard error and in a
    // message box, and ends when the player has closed it.
    void end_program(int status, std::string_view message) override;

    // The small windows, created hidden on first use.
    SmallDialog& small_window(SmallWindow which);
    ResultWindow& result_window() { return static_cast<ResultWindow&>(small_window(SmallWindow::Result)); }
    HelpWindow& help_window() { return static_cast<HelpWindow&>(small_window(SmallWindow::Help)); }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool replay_event(const QEvent& event);
    void run_period();

    Session& session_;
    BattleRecorder recorder_;
    std::FILE* record_file_ = nullptr;
    std::optional<Replay> replay_;
    bool replay_paused_ = false;
    QBasicTimer battle_timer_;
    ResultWindow* result_window_ = nullptr;
    HelpWindow* help_window_ = nullptr;
};
