// The main window's drawing surface: a persistent 32-bit picture that lines
// and circle outlines are rasterised into directly. Drawing is exact and
// repeatable: the same figure drawn twice covers the same pixels, so drawing
// it again in white erases it. Everything is clipped to the area.
#pragma once

#include <cstdint>
#include <vector>

#include "display/platform.h"

constexpr ColourValue WHITE = 0xFFFFFF;

// Pixels changed since the window last took them, as an inclusive pixel box.
struct DirtyBox {
    int left = 0, top = 0, right = -1, bottom = -1;  // empty while right < left
};

struct Surface {
    std::vector<std::uint32_t> pixels;  // width * height, row by row, 0xffRRGGBB
    int width = 0;
    int height = 0;
    float current_x = 0;  // end of the last line, where surface_line_on starts
    float current_y = 0;
    DirtyBox dirty;
};

// Changes the size; what was drawn stays where it was, new area is white.
void surface_resize(Surface& surface, int width, int height);
void surface_clear(Surface& surface);
void surface_line(Surface& surface, float x1, float y1, float x2, float y2, ColourValue colour);
void surface_line_on(Surface& surface, float x2, float y2, ColourValue colour);
void surface_circle(Surface& surface, float x, float y, float radius, ColourValue colour);

// The colour value of one pixel, which must lie inside the area.
ColourValue surface_colour_at(const Surface& surface, int x, int y);
// Returns the changed box and starts a new one.
DirtyBox surface_take_dirty(Surface& surface);
