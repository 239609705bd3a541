#include "drawing/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/checked.h"

namespace {

constexpr std::uint32_t OPAQUE = 0xFF000000u;
constexpr float MAX_RADIUS = 65536;

// Colour value (red in the low byte) to the picture's 0xffRRGGBB.
std::uint32_t pixel_of(ColourValue colour) {
    const auto c = static_cast<std::uint32_t>(colour);
    return OPAQUE | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// Nearest pixel to a coordinate already known to lie near the area.
int to_pixel(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

void require_finite(float a, float b, const char* what) {
    if (!std::isfinite(a) || !std::isfinite(b)) {
        game_fault(std::string("non-finite coordinate passed to ") + what);
    }
}

void grow_dirty(Surface& s, int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, s.width - 1);
    bottom = std::min(bottom, s.height - 1);
    if (right < left || bottom < top) return;
    for (int row = top / DIRTY_TILE; row <= bottom / DIRTY_TILE; ++row) {
        std::uint8_t* const marks =
            s.dirty_tiles.data() + static_cast<std::ptrdiff_t>(row) * s.tile_columns;
        for (int column = left / DIRTY_TILE; column <= right / DIRTY_TILE; ++column)
            marks[column] = 1;
    }
}

void wipe(Surface& s) {
    ++s.wipes;
    if (s.blind) return;
    std::fill(s.pixels.begin(), s.pixels.end(), pixel_of(WHITE));
    grow_dirty(s, 0, 0, s.width - 1, s.height - 1);
}

void plot(Surface& s, int x, int y, std::uint32_t pixel) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return;
    s.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width) +
             static_cast<std::size_t>(x)] = pixel;
}

// Pixels x_from..x_to (inclusive) of row y, as far as they lie inside.
void fill_row(Surface& s, int y, int x_from, int x_to, std::uint32_t pixel) {
    if (y < 0 || y >= s.height) return;
    x_from = std::max(x_from, 0);
    x_to = std::min(x_to, s.width - 1);
    if (x_to < x_from) return;
    const auto row = s.pixels.begin() + static_cast<std::ptrdiff_t>(y) * s.width;
    std::fill(row + x_from, row + x_to + 1, pixel);
}

// A run of `pen` pixels across a line at (x, y): down the column for a line
// that runs mostly along x, along the row for one that runs mostly along y.
void plot_across(Surface& s, int x, int y, bool along_x, std::uint32_t pixel) {
    const int first = -(s.pen / 2);
    if (!along_x) {
        fill_row(s, y, x + first, x + first + s.pen - 1, pixel);
        return;
    }
    for (int k = first; k < first + s.pen; ++k)
        plot(s, x, y + k, pixel);
}

// Where a segment enters or leaves the clip box: the parameter along it and
// the box edge that fixes it (-1: the segment's own end point).
struct ClipEnd {
    double t;
    int edge;
};

// One Liang-Barsky boundary: narrows [enter, leave] or reports the segment outside.
bool clip_edge(double p, double q, int edge, ClipEnd& enter, ClipEnd& leave) {
    if (p == 0) return q >= 0;
    const double r = q / p;
    if (p < 0) {
        if (r > leave.t) return false;
        if (r > enter.t) enter = {r, edge};
    } else {
        if (r < enter.t) return false;
        if (r < leave.t) leave = {r, edge};
    }
    return true;
}

// A segment given in pixel coordinates.
void rasterise_line(Surface& s, double x1, double y1, double x2, double y2, ColourValue colour) {
    // Clip to one pixel beyond the area, so that a segment inside it keeps its
    // exact end points and huge coordinates never reach integer conversion.
    const double box[4] = {-1, static_cast<double>(s.width), -1, static_cast<double>(s.height)};
    const double dx = x2 - x1, dy = y2 - y1;
    ClipEnd enter{0, -1}, leave{1, -1};
    const bool within = std::min(x1, x2) >= box[0] && std::max(x1, x2) <= box[1] &&
                        std::min(y1, y2) >= box[2] && std::max(y1, y2) <= box[3];
    if (!within && (!clip_edge(-dx, x1 - box[0], 0, enter, leave) ||
                    !clip_edge(dx, box[1] - x1, 1, enter, leave) ||
                    !clip_edge(-dy, y1 - box[2], 2, enter, leave) ||
                    !clip_edge(dy, box[3] - y1, 3, enter, leave))) {
        return;
    }
    // A clipped end lies exactly on its box edge; the other coordinate follows
    // from the slope, which stays precise however far away the end points were.
    const auto clipped = [&](const ClipEnd& end, double& x, double& y) {
        if (end.edge < 0) return;
        if (end.edge < 2) {
            x = box[end.edge];
            y = std::clamp(y1 + (x - x1) * (dy / dx), box[2], box[3]);
        } else {
            y = box[end.edge];
            x = std::clamp(x1 + (y - y1) * (dx / dy), box[0], box[1]);
        }
    };
    double from_x = x1, from_y = y1, to_x = x2, to_y = y2;
    clipped(enter, from_x, from_y);
    clipped(leave, to_x, to_y);
    int px = to_pixel(from_x), py = to_pixel(from_y);
    const int ex = to_pixel(to_x), ey = to_pixel(to_y);
    const int before = s.pen / 2, after = s.pen - 1 - before;  // the pen about the line
    grow_dirty(s, std::min(px, ex) - before, std::min(py, ey) - before, std::max(px, ex) + after,
               std::max(py, ey) + after);

    const std::uint32_t pixel = pixel_of(colour);
    const int step_x = px < ex ? 1 : -1, step_y = py < ey ? 1 : -1;
    const int run = std::abs(ex - px), rise = -std::abs(ey - py);
    const bool along_x = run >= -rise;
    int err = run + rise;
    // Most lines lie wholly inside: those are written without a test per
    // pixel. The major axis moves on every step: max(run, -rise) steps after
    // the first pixel.
    if (std::min(px, ex) - before >= 0 && std::max(px, ex) + after < s.width &&
        std::min(py, ey) - before >= 0 && std::max(py, ey) + after < s.height) {
        const std::ptrdiff_t across = along_x ? s.width : 1;
        const std::ptrdiff_t move_x = step_x,
                             move_y = static_cast<std::ptrdiff_t>(step_y) * s.width;
        std::uint32_t* at =
            s.pixels.data() + static_cast<std::ptrdiff_t>(py) * s.width + px - before * across;
        for (int steps = std::max(run, -rise);; --steps) {
            for (int k = 0; k < s.pen; ++k)
                at[k * across] = pixel;
            if (steps == 0) return;
            const int e2 = 2 * err;
            const bool x_moves = e2 >= rise, y_moves = e2 <= run;
            err += (x_moves ? rise : 0) + (y_moves ? run : 0);
            at += (x_moves ? move_x : 0) + (y_moves ? move_y : 0);
        }
    }
    for (;;) {
        plot_across(s, px, py, along_x, pixel);
        if (px == ex && py == ey) break;
        const int e2 = 2 * err;
        if (e2 >= rise) {
            err += rise;
            px += step_x;
        }
        if (e2 <= run) {
            err += run;
            py += step_y;
        }
    }
}

// An outline `pen` pixels thick: every pixel whose centre lies within half a
// pen of the circle of radius r about (cx, cy), filled row by row.
void ring(Surface& s, int cx, int cy, double r, std::uint32_t pixel) {
    const double inner = std::max(0.0, r - s.pen / 2.0), outer = r + s.pen / 2.0;
    const double inner2 = inner * inner, outer2 = outer * outer;
    const int reach = static_cast<int>(std::ceil(outer));
    grow_dirty(s, cx - reach, cy - reach, cx + reach, cy + reach);
    const auto inside = [](int dx, int dy, double limit2) {
        return static_cast<double>(dx * dx + dy * dy) < limit2;
    };
    for (int dy = -reach; dy <= reach; ++dy) {
        // Outermost dx of the row within the outer circle; the first one
        // outside the inner circle (0 when the row misses it).
        int out = static_cast<int>(std::sqrt(std::max(0.0, outer2 - dy * dy))) + 1;
        while (out >= 0 && !inside(out, dy, outer2))
            --out;
        if (out < 0) continue;
        int in = static_cast<int>(std::sqrt(std::max(0.0, inner2 - dy * dy)));
        while (in > 0 && !inside(in - 1, dy, inner2))
            --in;
        while (in <= out && inside(in, dy, inner2))
            ++in;
        if (in > out) continue;
        if (in == 0) {
            fill_row(s, cy + dy, cx - out, cx + out, pixel);
        } else {
            fill_row(s, cy + dy, cx - out, cx - in, pixel);
            fill_row(s, cy + dy, cx + in, cx + out, pixel);
        }
    }
}

}  // namespace

ColourValue make_colour(std::int16_t red, std::int16_t green, std::int16_t blue) {
    return red + 256 * green + 65536 * blue;
}

void surface_resize(Surface& s, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<std::uint32_t> pixels(
        s.blind ? 0 : static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
        pixel_of(WHITE));
    const int keep_w = s.blind ? 0 : std::min(width, s.width), keep_h = std::min(height, s.height);
    for (int y = 0; y < keep_h; ++y) {
        const auto from = s.pixels.begin() + static_cast<std::ptrdiff_t>(y) * s.width;
        std::copy(from, from + keep_w, pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
    }
    s.pixels = std::move(pixels);
    s.width = width;
    s.height = height;
    s.tile_columns = (width + DIRTY_TILE - 1) / DIRTY_TILE;
    s.tile_rows = (height + DIRTY_TILE - 1) / DIRTY_TILE;
    s.dirty_tiles.assign(
        static_cast<std::size_t>(s.tile_columns) * static_cast<std::size_t>(s.tile_rows), 0);
    grow_dirty(s, 0, 0, width - 1, height - 1);
}

void surface_set_scale(Surface& s, double scale) {
    if (scale == s.scale) return;
    s.scale = scale;
    s.pen = std::max(1, static_cast<int>(std::lround(scale)));
    wipe(s);
}

void surface_set_area(Surface& s, int width, int height, double scale) {
    surface_set_scale(s, scale);
    s.area_width = width;
    s.area_height = height;
    surface_resize(s, static_cast<int>(std::lround(width * scale)),
                   static_cast<int>(std::lround(height * scale)));
}

void surface_clear(Surface& s) {
    if (s.draw_log != nullptr) s.draw_log->push_back({DrawOp::Kind::Clear});
    wipe(s);
}

void surface_set_blind(Surface& s, bool blind) {
    if (blind == s.blind) return;
    s.blind = blind;
    if (blind) {
        s.pixels = {};
        return;
    }
    s.pixels.assign(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height),
                    pixel_of(WHITE));
    grow_dirty(s, 0, 0, s.width - 1, s.height - 1);
}

void surface_line(Surface& s, float x1, float y1, float x2, float y2, ColourValue colour) {
    if (s.draw_log != nullptr) s.draw_log->push_back({DrawOp::Kind::Line, x1, y1, x2, y2, colour});
    require_finite(x1, y1, "draw_line");
    require_finite(x2, y2, "draw_line");
    if (!s.blind) rasterise_line(s, x1 * s.scale, y1 * s.scale, x2 * s.scale, y2 * s.scale, colour);
    s.current_x = x2;
    s.current_y = y2;
}

void surface_line_on(Surface& s, float x2, float y2, ColourValue colour) {
    if (s.draw_log != nullptr) s.draw_log->push_back({DrawOp::Kind::LineOn, x2, y2, 0, 0, colour});
    require_finite(x2, y2, "draw_line_on");
    if (!s.blind) {
        rasterise_line(s, s.current_x * s.scale, s.current_y * s.scale, x2 * s.scale, y2 * s.scale,
                       colour);
    }
    s.current_x = x2;
    s.current_y = y2;
}

void surface_circle(Surface& s, float x, float y, float radius, ColourValue colour) {
    if (s.draw_log != nullptr)
        s.draw_log->push_back({DrawOp::Kind::Circle, x, y, radius, 0, colour});
    require_finite(x, y, "draw_circle");
    if (!(radius >= 0 && radius <= MAX_RADIUS)) {
        game_fault("circle radius " + std::to_string(radius) + " outside 0.." +
                   std::to_string(MAX_RADIUS));
    }
    const double r = radius * s.scale, px = x * s.scale, py = y * s.scale;
    if (s.blind || px + r < -1 || py + r < -1 || px - r > s.width || py - r > s.height) return;
    const int cx = to_pixel(px), cy = to_pixel(py);
    const std::uint32_t pixel = pixel_of(colour);
    if (s.pen > 1) {
        ring(s, cx, cy, r, pixel);
        return;
    }
    const int ir = to_pixel(r);
    grow_dirty(s, cx - ir, cy - ir, cx + ir, cy + ir);

    // Midpoint circle, one octant mirrored eight ways.
    int dx = 0, dy = ir, d = 1 - ir;
    while (dx <= dy) {
        plot(s, cx + dx, cy + dy, pixel);
        plot(s, cx - dx, cy + dy, pixel);
        plot(s, cx + dx, cy - dy, pixel);
        plot(s, cx - dx, cy - dy, pixel);
        plot(s, cx + dy, cy + dx, pixel);
        plot(s, cx - dy, cy + dx, pixel);
        plot(s, cx + dy, cy - dx, pixel);
        plot(s, cx - dy, cy - dx, pixel);
        ++dx;
        if (d < 0) {
            d += 2 * dx + 1;
        } else {
            --dy;
            d += 2 * (dx - dy) + 1;
        }
    }
}

ColourValue surface_colour_at(const Surface& s, int x, int y) {
    const std::uint32_t p =
        s.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width) +
                 static_cast<std::size_t>(x)];
    return static_cast<ColourValue>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}

void surface_mark_changed(Surface& s, const PixelBox& box) {
    grow_dirty(s, box.left, box.top, box.right, box.bottom);
}

void surface_take_dirty_strips(Surface& s, std::vector<PixelBox>& strips) {
    strips.clear();
    for (int row = 0; row < s.tile_rows; ++row) {
        const auto marks =
            s.dirty_tiles.begin() + static_cast<std::ptrdiff_t>(row) * s.tile_columns;
        for (int column = 0; column < s.tile_columns;) {
            if (marks[column] == 0) {
                ++column;
                continue;
            }
            const int first = column;
            while (column < s.tile_columns && marks[column] != 0)
                ++column;
            strips.push_back({first * DIRTY_TILE, row * DIRTY_TILE,
                              std::min(column * DIRTY_TILE, s.width) - 1,
                              std::min((row + 1) * DIRTY_TILE, s.height) - 1});
        }
    }
    std::fill(s.dirty_tiles.begin(), s.dirty_tiles.end(), 0);
}
