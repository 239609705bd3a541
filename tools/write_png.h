// The picture as a PNG file, for quenmar-sim's --png.
#pragma once

#include <string>

#include "drawing/surface.h"

// Writes the picture to `file`; throws InputError naming the file when it
// cannot, or when this build writes no PNG pictures.
void write_png(const Surface& picture, const std::string& file);
