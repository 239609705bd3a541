// The help window `frm_help`: five lines of help and "Close". It only lays
// out; its button and keys reach the game as input records.
#pragma once

#include "qt/small_window.h"

class HelpWindow final : public SmallWindow {
  public:
    static constexpr int CLIENT_WIDTH = 305;
    static constexpr int CLIENT_HEIGHT = 175;

    HelpWindow(QWidget* owner, InputSink sink);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    CommandButton* Command1;  // "Close": has the keyboard on opening; also Esc and a close request
};
