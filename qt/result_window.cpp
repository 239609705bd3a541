#include "qt/result_window.h"

#include <utility>

#include "input/result_window.h"

ResultWindow::ResultWindow(QWidget* owner, InputSink sink)
    : SmallDialog(owner, RESULT_TITLE, CLIENT_WIDTH, CLIENT_HEIGHT, std::move(sink)) {
    wins_caption = place_label(WINS_CAPTION, 8, 8, 65, 17);
    losses_caption = place_label(LOSSES_CAPTION, 8, 32, 65, 17);
    wins_label = place_label("Label3", 80, 8, 81, 17);  // design texts, replaced before it shows
    losses_label = place_label("Label4", 80, 32, 81, 17);
    fit_font({wins_caption, losses_caption});
    wins_caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    losses_caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    quit_button = place_button(QUIT_TEXT, 8, 56, 105, 49, SmallButton::Quit);
    back_button = place_button(BACK_TEXT, 120, 56, 41, 49, SmallButton::Back);
    next_level_button = place_button(NEXT_LEVEL_TEXT, 168, 56, 41, 49, SmallButton::NextLevel);
    setTabOrder(quit_button, back_button);
    setTabOrder(back_button, next_level_button);
    set_safe_button(back_button, SmallButton::Back);
}

void ResultWindow::show_score(ResultScore score) {
    wins_label->setText(QString::number(score.wins));
    losses_label->setText(QString::number(score.losses));
}
