// The help window: five lines of help and "Close". It only lays out; its
// button and keys reach the game as input records.
#pragma once

#include <array>

#include "qt/small_dialog.h"

class HelpWindow final : public SmallDialog {
  public:
    static constexpr int CLIENT_WIDTH = 305;
    static constexpr int CLIENT_HEIGHT = 175;

    HelpWindow(QWidget* owner, InputSink sink);

    std::array<QLabel*, 5> help_lines;
    CommandButton* close_button;  // has the keyboard on opening; also Esc and a close request
};
