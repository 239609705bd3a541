#include "ui/qt_small_window.h"

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

void make_small_window(QWidget& window, const QString& caption, int width, int height) {
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint);
    window.setWindowTitle(caption);
    window.setFixedSize(width, height);
    window.setAttribute(Qt::WA_ShowWithoutActivating);
}

QLabel* place_label(QWidget& window, const QString& text, int left, int top, int width,
                    int height) {
    auto* label = new QLabel(text, &window);
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

WrappingButton* place_button(QWidget& window, const QString& text, int left, int top, int width,
                             int height) {
    auto* button = new WrappingButton(text, &window);
    button->setGeometry(left, top, width, height);
    return button;
}
