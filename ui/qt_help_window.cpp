#include "ui/qt_help_window.h"

#include <QCloseEvent>
#include <QKeyEvent>

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner) {
    make_small_window(*this, "Help", CLIENT_WIDTH, CLIENT_HEIGHT);
    Label1 = place_label(*this, "Esc quits the game and show the score.", 8, 8, 297, 17);
    Label2 = place_label(*this, "Enter redraws the screen.", 8, 32, 297, 17);
    Label3 = place_label(*this, "Move your tank using the arrow keys.", 8, 56, 297, 17);
    Label4 = place_label(*this, "Fire using the left mouse button.", 8, 80, 297, 17);
    Label5 = place_label(*this, "When there are no tanks left slow down until you stop.", 8, 104,
                         297, 17);
    Command1 = place_button(*this, "Close", 8, 128, 89, 41);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        Command1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (isVisible()) Command1->click();
}
