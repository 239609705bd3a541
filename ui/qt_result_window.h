// The result window `frm_winlose`: levels won and lost, "Quit", "Back" and
// "Next level". It only lays out; the main window connects the buttons.
#pragma once

#include "ui/qt_small_window.h"

class ResultWindow final : public SmallWindow {
  public:
    static constexpr int CLIENT_WIDTH = 213;
    static constexpr int CLIENT_HEIGHT = 112;

    explicit ResultWindow(QWidget* owner);

    QLabel* Label1;  // "Wins:"
    QLabel* Label2;  // "Losses:"
    QLabel* Label3;  // levels won
    QLabel* Label4;  // levels lost
    WrappingButton* btn_quit;
    WrappingButton* Command1;  // "Back"; also Esc in this window and a close request
    WrappingButton* Command2;  // "Next level"
};
