// The help window `frm_help`: five lines of help and "Close". It only lays
// out; the main window connects the button.
#pragma once

#include "ui/qt_small_window.h"

class HelpWindow final : public SmallWindow {
  public:
    static constexpr int CLIENT_WIDTH = 305;
    static constexpr int CLIENT_HEIGHT = 175;

    explicit HelpWindow(QWidget* owner);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    WrappingButton* Command1;  // "Close"; also F1 in this window and a close request
};
