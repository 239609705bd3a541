#include "qt/replay_line.h"

namespace {

constexpr int MARGIN = 8;  // about the text, pixels

}  // namespace

QRect ReplayLine::box(const QWidget& window) const {
    const int height = window.fontMetrics().height() + MARGIN;
    return QRect(0, window.height() - height, window.width(), height);
}

void ReplayLine::paint(QPainter& painter, const QWidget& window) const {
    if (text.isEmpty()) return;
    const QRect band = box(window);
    painter.fillRect(band, QColor(255, 255, 255, 210));
    painter.setPen(Qt::darkBlue);
    painter.drawText(band.adjusted(MARGIN, 0, -MARGIN, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
}
