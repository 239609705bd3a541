// The battle window's two small windows, created hidden on first use, and the
// keys of all three: a key pressed in one of them reaches the match with its
// place, and what the match does not take goes on to the window's own
// handling (Tab, Space and Enter to a small window's buttons).
#pragma once

#include <QObject>

#include "match/match.h"
#include "qt/help_window.h"
#include "qt/result_window.h"

class SmallWindows final : public QObject {
  public:
    SmallWindows(QWidget& battle, Match& match);

    ResultWindow& result();
    HelpWindow& help();
    SmallDialog& window(SmallWindow which);
    // Opens one over the battle, the result window with `score`.
    void open(SmallWindow which, ResultScore score = {});
    // Closes it, the keyboard back to the battle.
    void close(SmallWindow which) { window(which).close_to(battle_); }
    // Where the keyboard is: in the battle, or in one of them.
    KeyPlace place() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::optional<KeyPlace> place_of(const QWidget* window) const;

    QWidget& battle_;
    Match& match_;
    ResultWindow* result_ = nullptr;
    HelpWindow* help_ = nullptr;
};

// Ends the program with `status`, at once, or, with a `message`, once the
// player has closed a message box saying it (and said on standard error
// too). The box lives in the program's one event loop, which an earlier exit
// request cannot cut short before the player has read it.
void say_and_end(QWidget* over, int status, const std::string& message);
