#include "qt/result_window.h"

#include <utility>

ResultWindow::ResultWindow(QWidget* owner, InputSink sink)
    : SmallWindow(owner, "Result", CLIENT_WIDTH, CLIENT_HEIGHT, EventSource::Result,
                  std::move(sink)) {
    Label1 = place_label("Wins:", 8, 8, 65, 17);
    Label2 = place_label("Losses:", 8, 32, 65, 17);
    Label3 = place_label("Label3", 80, 8, 81, 17);
    Label4 = place_label("Label4", 80, 32, 81, 17);
    fit_font({Label1, Label2});
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    btn_quit = place_button("Quit", 8, 56, 105, 49, SmallButton::Quit);
    Command1 = place_button("Back", 120, 56, 41, 49, SmallButton::Back);
    Command2 = place_button("Next level", 168, 56, 41, 49, SmallButton::NextLevel);
    setTabOrder(btn_quit, Command1);
    setTabOrder(Command1, Command2);
    set_safe_button(Command1, SmallButton::Back);
}
