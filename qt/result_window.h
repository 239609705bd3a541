// The result window: levels won and lost, "Quit", "Back" and "Next level".
// It only lays out and shows the score; its buttons and keys reach the game
// as input records.
#pragma once

#include "qt/small_dialog.h"

class ResultWindow final : public SmallDialog {
  public:
    static constexpr int CLIENT_WIDTH = 213;
    static constexpr int CLIENT_HEIGHT = 112;

    ResultWindow(QWidget* owner, InputSink sink);

    // Puts the numbers into the wins and losses labels.
    void show_score(ResultScore score);

    QLabel* wins_caption;    // "Wins:"
    QLabel* losses_caption;  // "Losses:"
    QLabel* wins_label;      // levels won
    QLabel* losses_label;    // levels lost
    CommandButton* quit_button;
    CommandButton* back_button;  // has the keyboard on opening; also a close request
    CommandButton* next_level_button;
};
