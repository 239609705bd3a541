#include "ui/qt_result_window.h"

#include <QCloseEvent>
#include <QKeyEvent>

ResultWindow::ResultWindow(QWidget* owner) : QWidget(owner) {
    make_small_window(*this, "Result", CLIENT_WIDTH, CLIENT_HEIGHT);
    Label1 = place_label(*this, "Wins:", 8, 8, 65, 17);
    Label2 = place_label(*this, "Losses:", 8, 32, 65, 17);
    Label3 = place_label(*this, "Label3", 80, 8, 81, 17);
    Label4 = place_label(*this, "Label4", 80, 32, 81, 17);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    btn_quit = place_button(*this, "Quit", 8, 56, 105, 49);
    Command1 = place_button(*this, "Back", 120, 56, 41, 49);
    Command2 = place_button(*this, "Next level", 168, 56, 41, 49);
    setTabOrder(btn_quit, Command1);
    setTabOrder(Command1, Command2);
}

void ResultWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Command1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ResultWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (isVisible()) Command1->click();
}
