#include "qt/small_windows.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <cstdio>

#include "qt/event_translation.h"

SmallWindows::SmallWindows(QWidget& battle, Match& match)
    : QObject(&battle), battle_(battle), match_(match) {
    qApp->installEventFilter(this);
}

ResultWindow& SmallWindows::result() {
    if (result_ == nullptr) {
        result_ =
            new ResultWindow(&battle_, [this](const InputEvent& e) { match_take(match_, e); });
    }
    return *result_;
}

HelpWindow& SmallWindows::help() {
    if (help_ == nullptr) {
        help_ = new HelpWindow(&battle_, [this](const InputEvent& e) { match_take(match_, e); });
    }
    return *help_;
}

SmallDialog& SmallWindows::window(SmallWindow which) {
    if (which == SmallWindow::Help) return help();
    return result();
}

void SmallWindows::open(SmallWindow which, ResultScore score) {
    if (which == SmallWindow::Result) result().show_score(score);
    window(which).open_over(battle_);
}

std::optional<KeyPlace> SmallWindows::place_of(const QWidget* window) const {
    if (window == nullptr) return std::nullopt;
    if (window == &battle_) return KeyPlace::Field;
    if (window == result_) return KeyPlace::Result;
    if (window == help_) return KeyPlace::Help;
    return std::nullopt;
}

KeyPlace SmallWindows::place() const {
    return place_of(QApplication::activeWindow()).value_or(KeyPlace::Field);
}

bool SmallWindows::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (widget == nullptr || !key) return false;
    const std::optional<KeyPlace> place = place_of(widget->window());
    if (!place) return false;
    const std::optional<KeyStroke> stroke = key_stroke(static_cast<QKeyEvent&>(*event), *place);
    return stroke && match_key(match_, *stroke);
}

void say_and_end(QWidget* over, int status, const std::string& message) {
    if (message.empty()) {
        QCoreApplication::exit(status);
        return;
    }
    std::fprintf(stderr, "quenmar: %s\n", message.c_str());
    auto* box = new QMessageBox(QMessageBox::Critical, "Quenmar", QString::fromStdString(message),
                                QMessageBox::Ok, over);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QDialog::finished, [status] { QCoreApplication::exit(status); });
    box->show();
}
