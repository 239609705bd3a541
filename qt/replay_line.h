// A replay's line, over the battle window's lower edge: where it stands and
// what its keys do, on a pale band the field shows through.
#pragma once

#include <QPainter>
#include <QString>
#include <QWidget>

struct ReplayLine {
    QString text;  // empty: none is shown

    // Where it lies over `window`.
    QRect box(const QWidget& window) const;
    void paint(QPainter& painter, const QWidget& window) const;
};
