// The result window `frm_winlose`: levels won and lost, "Quit", "Back" and
// "Next level". It only lays out; its buttons and keys reach the game as
// input records.
#pragma once

#include "qt/small_window.h"

class ResultWindow final : public SmallWindow {
  public:
    static constexpr int CLIENT_WIDTH = 213;
    static constexpr int CLIENT_HEIGHT = 112;

    ResultWindow(QWidget* owner, InputSink sink);

    QLabel* Label1;  // "Wins:"
    QLabel* Label2;  // "Losses:"
    QLabel* Label3;  // levels won
    QLabel* Label4;  // levels lost
    CommandButton* btn_quit;
    CommandButton* Command1;  // "Back": has the keyboard on opening; also a close request
    CommandButton* Command2;  // "Next level"
};
