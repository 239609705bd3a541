// The help window: five lines of help and "Close", and below them a line
// on the game's sound. It only lays out; its button and keys reach the game
// as input records.
#pragma once

#include <array>

#include "qt/small_dialog.h"

class HelpWindow final : public SmallDialog {
  public:
    static constexpr int CLIENT_WIDTH = 305;
    static constexpr int CLIENT_HEIGHT = 298;  // the help's 175 and five lines below

    HelpWindow(QWidget* owner, InputSink sink);

    std::array<QLabel*, 5> help_lines;
    QLabel* sound_line;   // below the "Close" button, the help's own layout as it was
    QLabel* rewind_line;  // below the sound's
    QLabel* vibration_line;
    std::array<QLabel*, 2> pad_lines;  // a pad's layout
    CommandButton* close_button;       // has the keyboard on opening; also Esc and a close request
};
