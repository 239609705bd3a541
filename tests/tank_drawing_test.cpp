#include "display/tank_drawing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tools/headless_platform.h"

namespace {

using Kind = DrawOp::Kind;

// The point at distance d along heading a from (100, 100), as handed to the surface.
float px(double a, double d) {
    return static_cast<float>(100 + d * std::sin(a));
}
float py(double a, double d) {
    return static_cast<float>(100 + d * std::cos(a));
}

TEST(TankDrawing, elements_and_points_come_in_the_documented_order) {
    HeadlessPlatform p;
    p.record_draws = true;
    const double x = 100, y = 100;
    const float hull = 0, turret = static_cast<float>(1.570796326794897);
    draw_tank(p, x, y, hull, turret, 0, 0, 150);

    const double t = turret;
    const ColourValue blue = 9830400;
    const std::vector<DrawOp> expected = {
        {Kind::Circle, 100, 100, 5, 0, blue},
        {Kind::Line, px(t, 5), py(t, 5), px(t, 15), py(t, 15), blue},
        {Kind::Line, px(0.5235987755982989, 15), py(0.5235987755982989, 15),
         px(-0.5235987755982989, 15), py(-0.5235987755982989, 15), blue},
        {Kind::LineOn, px(3.6651914291880927, 15), py(3.6651914291880927, 15), 0, 0, blue},
        {Kind::LineOn, px(2.617993877991495, 15), py(2.617993877991495, 15), 0, 0, blue},
        {Kind::LineOn, px(0.5235987755982989, 15), py(0.5235987755982989, 15), 0, 0, blue},
        {Kind::Line, px(1.570796326794897, 6), py(1.570796326794897, 6), px(0, 13), py(0, 13),
         blue},
        {Kind::LineOn, px(-1.570796326794897, 6), py(-1.570796326794897, 6), 0, 0, blue},
    };
    EXPECT_EQ(p.draws, expected);

    // The same figure in round numbers.
    const auto near = [](float a, double b) { EXPECT_NEAR(a, b, 1e-4); };
    near(p.draws[1].a, 105), near(p.draws[1].b, 100), near(p.draws[1].c, 115);
    near(p.draws[2].a, 107.5), near(p.draws[2].b, 112.99038);
    near(p.draws[2].c, 92.5), near(p.draws[2].d, 112.99038);
    near(p.draws[3].a, 92.5), near(p.draws[3].b, 87.00962);
    near(p.draws[4].a, 107.5), near(p.draws[4].b, 87.00962);
    near(p.draws[6].a, 106), near(p.draws[6].b, 100), near(p.draws[6].c, 100),
        near(p.draws[6].d, 113);
    near(p.draws[7].a, 94), near(p.draws[7].b, 100);
}

TEST(TankDrawing, drawing_a_tank_again_in_white_erases_it) {
    HeadlessPlatform p(200, 200);
    const double x = 57.3, y = 42.9;
    const float hull = 2.7f, turret = -11.3f;
    draw_tank(p, x, y, hull, turret, 0, 0, 0);
    draw_tank(p, x, y, hull, turret, 0, 0, 150);
    const auto non_white = [&] {
        int n = 0;
        for (int py = 0; py < 200; ++py) {
            for (int px = 0; px < 200; ++px)
                n += surface_colour_at(p.surface, px, py) != WHITE;
        }
        return n;
    };
    EXPECT_GT(non_white(), 80);
    draw_tank(p, x, y, hull, turret, 255, 255, 255);
    EXPECT_EQ(non_white(), 0);
}

TEST(TankDrawing, a_tank_beyond_the_edge_is_drawn_only_where_it_lies_inside) {
    HeadlessPlatform p(100, 100);
    const double x = 2, y = 98;
    const float heading = 0;
    draw_tank(p, x, y, heading, heading, 0, 0, 0);
    EXPECT_EQ(surface_colour_at(p.surface, 99, 98), WHITE);  // nothing wrapped across
    EXPECT_EQ(surface_colour_at(p.surface, 7, 98), 0);       // the turret circle's right side
}

}  // namespace

namespace {

TEST(TankDrawing, a_tank_covers_exactly_these_pixels) {
    HeadlessPlatform p(33, 33);
    const double x = 16, y = 16;
    const float hull = 0, turret = 1.570796326794897f;  // hull down, barrel to the right
    draw_tank(p, x, y, hull, turret, 0, 0, 0);
    const std::vector<std::string> expected = {
        ".................................",
        ".................................",
        ".................................",
        ".........################........",
        ".........#..............#........",
        ".........#..............#........",
        ".........#..............#........",
        ".........#..............#........",
        ".........#..............#........",
        ".........#..............#........",
        ".........#..............#........",
        ".........#....#####.....#........",
        ".........#...#.....#....#........",
        ".........#..#.......#...#........",
        ".........#.#.........#..#........",
        ".........#.#.........#..#........",
        ".........###.........###########.",
        ".........###.........##.#........",
        ".........#.#.........#..#........",
        ".........#.##.......##..#........",
        ".........#..##.....##...#........",
        ".........#..#.#####.#...#........",
        ".........#...#.....#....#........",
        ".........#...#.....#....#........",
        ".........#....#...#.....#........",
        ".........#....#...#.....#........",
        ".........#.....#.#......#........",
        ".........#.....#.#......#........",
        ".........#......#.......#........",
        ".........################........",
        ".................................",
        ".................................",
        ".................................",
    };
    std::vector<std::string> rows;
    for (int row = 0; row < p.surface.height; ++row) {
        std::string line;
        for (int col = 0; col < p.surface.width; ++col)
            line += surface_colour_at(p.surface, col, row) == WHITE ? '.' : '#';
        rows.push_back(line);
    }
    EXPECT_EQ(rows, expected);
}

}  // namespace
