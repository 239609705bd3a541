#include "ui/qt_small_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr qreal MIN_POINT_SIZE = 6;
constexpr qreal POINT_SIZE_STEP = 0.5;
}  // namespace

WrappingButton::WrappingButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void WrappingButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text());
}

SmallWindow::SmallWindow(QWidget* owner, const QString& caption, int width, int height)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(caption);
    setFixedSize(width, height);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

QLabel* SmallWindow::place_label(const QString& text, int left, int top, int width, int height) {
    auto* label = new QLabel(text, this);
    label->setGeometry(left, top, width, height);
    // The boxes were laid out for a smaller default font than many desktops
    // have: a line that would be cut off gets the default font a little smaller.
    QFont font = label->font();
    while (QFontMetrics(font).horizontalAdvance(text) > width &&
           font.pointSizeF() > MIN_POINT_SIZE) {
        font.setPointSizeF(font.pointSizeF() - POINT_SIZE_STEP);
    }
    label->setFont(font);
    return label;
}

WrappingButton* SmallWindow::place_button(const QString& text, int left, int top, int width,
                                          int height) {
    auto* button = new WrappingButton(text, this);
    button->setGeometry(left, top, width, height);
    return button;
}

void SmallWindow::dismiss_with(Qt::Key key, QPushButton* button) {
    dismiss_key_ = key;
    dismiss_button_ = button;
}

void SmallWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == dismiss_key_ && dismiss_button_ != nullptr) {
        dismiss_button_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SmallWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (isVisible() && dismiss_button_ != nullptr) dismiss_button_->click();
}
