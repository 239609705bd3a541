#include "drawing/tank_drawing.h"

#include <gtest/gtest.h>

#include "stage.h"

namespace {

using Kind = DrawOp::Kind;

// Turret circle, barrel, hull outline from its front left corner round, then
// the chevron, in round numbers: the hull points down, the barrel to the right.
TEST(TankDrawing, elements_and_points_come_in_the_documented_order) {
    Stage p;
    p.record_draws();
    draw_tank(p.picture, 100, 100, 0, 1.570796326794897f, 0, 0, 150);
    const DrawOp expected[] = {
        {Kind::Circle, 100, 100, 5},
        {Kind::Line, 105, 100, 115, 100},
        {Kind::Line, 107.5f, 112.99038f, 92.5f, 112.99038f},
        {Kind::LineOn, 92.5f, 87.00962f},
        {Kind::LineOn, 107.5f, 87.00962f},
        {Kind::LineOn, 107.5f, 112.99038f},
        {Kind::Line, 106, 100, 100, 113},
        {Kind::LineOn, 94, 100},
    };
    ASSERT_EQ(p.draws.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const DrawOp& op = p.draws[i];
        EXPECT_EQ(op.kind, expected[i].kind) << i;
        EXPECT_EQ(op.colour, 9830400) << i;
        for (const auto& [got, want] :
             {std::pair(op.a, expected[i].a), std::pair(op.b, expected[i].b),
              std::pair(op.c, expected[i].c), std::pair(op.d, expected[i].d)})
            EXPECT_NEAR(got, want, 1e-4) << i;
    }
}

TEST(TankDrawing, drawing_a_tank_again_in_white_erases_it) {
    Stage p(200, 200);
    const double x = 57.3, y = 42.9;
    const float hull = 2.7f, turret = -11.3f;
    draw_tank(p.picture, x, y, hull, turret, 0, 0, 0);
    draw_tank(p.picture, x, y, hull, turret, 0, 0, 150);
    const auto non_white = [&] {
        int n = 0;
        for (int py = 0; py < 200; ++py) {
            for (int px = 0; px < 200; ++px)
                n += surface_colour_at(p.picture, px, py) != WHITE;
        }
        return n;
    };
    EXPECT_GT(non_white(), 80);
    draw_tank(p.picture, x, y, hull, turret, 255, 255, 255);
    EXPECT_EQ(non_white(), 0);
}

TEST(TankDrawing, a_tank_beyond_the_edge_is_drawn_only_where_it_lies_inside) {
    Stage p(100, 100);
    const double x = 2, y = 98;
    const float heading = 0;
    draw_tank(p.picture, x, y, heading, heading, 0, 0, 0);
    EXPECT_EQ(surface_colour_at(p.picture, 99, 98), WHITE);  // nothing wrapped across
    EXPECT_EQ(surface_colour_at(p.picture, 7, 98), 0);       // the turret circle's right side
}

}  // namespace

namespace {

TEST(TankDrawing, a_tank_covers_exactly_these_pixels) {
    Stage p(33, 33);
    const double x = 16, y = 16;
    const float hull = 0, turret = 1.570796326794897f;  // hull down, barrel to the right
    draw_tank(p.picture, x, y, hull, turret, 0, 0, 0);
    const std::vector<std::string> expected = {
        ".................................", ".................................",
        ".................................", ".........################........",
        ".........#..............#........", ".........#..............#........",
        ".........#..............#........", ".........#..............#........",
        ".........#..............#........", ".........#..............#........",
        ".........#..............#........", ".........#....#####.....#........",
        ".........#...#.....#....#........", ".........#..#.......#...#........",
        ".........#.#.........#..#........", ".........#.#.........#..#........",
        ".........###.........###########.", ".........###.........##.#........",
        ".........#.#.........#..#........", ".........#.##.......##..#........",
        ".........#..##.....##...#........", ".........#..#.#####.#...#........",
        ".........#...#.....#....#........", ".........#...#.....#....#........",
        ".........#....#...#.....#........", ".........#....#...#.....#........",
        ".........#.....#.#......#........", ".........#.....#.#......#........",
        ".........#......#.......#........", ".........################........",
        ".................................", ".................................",
        ".................................",
    };
    std::vector<std::string> rows;
    for (int row = 0; row < p.picture.height; ++row) {
        std::string line;
        for (int col = 0; col < p.picture.width; ++col)
            line += surface_colour_at(p.picture, col, row) == WHITE ? '.' : '#';
        rows.push_back(line);
    }
    EXPECT_EQ(rows, expected);
}

}  // namespace
