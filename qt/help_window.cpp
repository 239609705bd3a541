#include "qt/help_window.h"

#include <utility>

HelpWindow::HelpWindow(QWidget* owner, InputSink sink)
    : SmallWindow(owner, "Help", CLIENT_WIDTH, CLIENT_HEIGHT, EventSource::Help, std::move(sink)) {
    Label1 = place_label("Esc quits the game and show the score.", 8, 8, 297, 17);
    Label2 = place_label("Enter redraws the screen.", 8, 32, 297, 17);
    Label3 = place_label("Move your tank using the arrow keys.", 8, 56, 297, 17);
    Label4 = place_label("Fire using the left mouse button.", 8, 80, 297, 17);
    Label5 = place_label("When there are no tanks left slow down until you stop.", 8, 104, 297, 17);
    fit_font({Label1, Label2, Label3, Label4, Label5});
    Command1 = place_button("Close", 8, 128, 89, 41, SmallButton::Close);
    set_safe_button(Command1, SmallButton::Close);
}
