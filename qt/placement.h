// Where the battle window opens.
#pragma once

#include <QRect>
#include <algorithm>

#include "drawing/surface.h"

// On a screen whose free area is `available`: at its design size where that
// fits, otherwise as large as fits, and centred on the area.
inline QRect fitted_geometry(const QRect& available) {
    QRect placed(0, 0, std::min(DESIGN_WIDTH, available.width()),
                 std::min(DESIGN_HEIGHT, available.height()));
    placed.moveCenter(available.center());
    return placed;
}
