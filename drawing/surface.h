// The battle's picture: a persistent 32-bit picture, owned by the session and
// shown by every front end, that lines
// and circle outlines are rasterised into directly. Drawing is exact and
// repeatable: the same figure drawn twice covers the same pixels, so drawing
// it again in white erases it. Everything is clipped to the area.
//
// The game draws in drawing units; the picture has the screen's own pixels,
// `scale` of them to a unit (the display's scale, 1.25 or 2 on a dense
// screen). Lines and outlines are `pen` pixels thick, about one unit, and of
// even thickness at any scale.
#pragma once

#include <cstdint>
#include <vector>

#include "base/front_end.h"

using ColourValue = std::int32_t;  // red + 256 * green + 65536 * blue

constexpr ColourValue WHITE = 0xFFFFFF;

// red + 256 * green + 65536 * blue; each component 0..255.
ColourValue make_colour(std::int16_t red, std::int16_t green, std::int16_t blue);

// The battle's drawing area at its design size, in drawing units.
constexpr int DESIGN_WIDTH = 723;
constexpr int DESIGN_HEIGHT = 651;

// One drawing operation as the game handed it over, for a record of them.
struct DrawOp {
    enum class Kind { Clear, Line, LineOn, Circle };
    Kind kind;
    float a = 0, b = 0, c = 0, d = 0;  // line: x1 y1 x2 y2; line_on: x2 y2; circle: x y radius
    ColourValue colour = 0;
    bool operator==(const DrawOp&) const = default;
};

struct Surface {
    std::vector<std::uint32_t> pixels;  // width * height, row by row, 0xffRRGGBB
    int width = 0;                      // pixels
    int height = 0;
    double scale = 1;     // pixels per drawing unit
    int pen = 1;          // thickness of lines and outlines, pixels
    float current_x = 0;  // end of the last line, drawing units, where surface_line_on starts
    float current_y = 0;
    int area_width = 0;  // the drawing area, drawing units: the picture is this times `scale`
    int area_height = 0;
    std::vector<DrawOp>* draw_log = nullptr;  // when set, every operation is appended to it
    // Tiles changed since the session last took them for its front end, so
    // that the front end shows the tanks drawn about the field anew rather
    // than the box around all of them.
    std::vector<std::uint8_t> dirty_tiles;  // tile_columns * tile_rows, row by row
    int tile_columns = 0;
    int tile_rows = 0;
    // Blind, it draws nothing and keeps no pixels: a battle fought again to
    // get somewhere fast, whose picture comes back from where it was last
    // wiped. Its current point and its checks go on as ever.
    bool blind = false;
    int wipes = 0;  // times the whole picture was wiped white, blind or not
};

constexpr int DIRTY_TILE = 32;  // side of a tile, pixels

// Changes the size in pixels; what was drawn stays where it was, new area is white.
void surface_resize(Surface& surface, int width, int height);
// Sets the pixels per drawing unit and the pen that goes with them; a picture
// drawn at another scale is wiped.
void surface_set_scale(Surface& surface, double scale);
// Gives the drawing area this size in drawing units, `scale` pixels to a
// unit: the picture has the screen's own pixels. What was drawn at the same
// scale stays where it was.
void surface_set_area(Surface& surface, int width, int height, double scale);
void surface_clear(Surface& surface);
// Draws nothing from now on, its pixels let go; or draws again, on a white
// picture (all of it changed).
void surface_set_blind(Surface& surface, bool blind);
void surface_line(Surface& surface, float x1, float y1, float x2, float y2, ColourValue colour);
void surface_line_on(Surface& surface, float x2, float y2, ColourValue colour);
void surface_circle(Surface& surface, float x, float y, float radius, ColourValue colour);

// The colour value of one pixel, which must lie inside the picture.
ColourValue surface_colour_at(const Surface& surface, int x, int y);
// Marks a box of the picture as changed, as drawing there would.
void surface_mark_changed(Surface& surface, const PixelBox& box);
// Puts the changed pixels into `strips` as boxes, one per run of changed
// tiles in a row of tiles, and starts anew.
void surface_take_dirty_strips(Surface& surface, std::vector<PixelBox>& strips);
