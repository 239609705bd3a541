#include "drawing/surface.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/checked.h"

namespace {

constexpr ColourValue BLACK = 0;

int count_colour(const Surface& s, ColourValue colour) {
    int n = 0;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x)
            n += surface_colour_at(s, x, y) == colour;
    }
    return n;
}

Surface white_surface(int w, int h) {
    Surface s;
    surface_resize(s, w, h);
    return s;
}

// The surface as rows of '#' (drawn) and '.' (white).
std::vector<std::string> picture(const Surface& s) {
    std::vector<std::string> rows;
    for (int y = 0; y < s.height; ++y) {
        std::string row;
        for (int x = 0; x < s.width; ++x)
            row += surface_colour_at(s, x, y) == WHITE ? '.' : '#';
        rows.push_back(row);
    }
    return rows;
}

TEST(Colours, make_colour_packs_red_green_blue) {
    EXPECT_EQ(make_colour(255, 255, 255), 16777215);
    EXPECT_EQ(make_colour(0, 0, 0), 0);
    EXPECT_EQ(make_colour(0, 0, 150), 9830400);
    EXPECT_EQ(make_colour(200, 200, 200), 13158600);
}

// The exact pixels of the figures the game draws: a pixel covers the unit
// square about its centre, a point goes to the pixel it lies in, lines are
// Bresenham's between those pixels after clipping, circles the midpoint circle.
// At a scale of 1.5 or more the pen is as many pixels wide as the scale,
// rounded: runs across the line, and a ring of that width.
TEST(Surface, figures_cover_exactly_these_pixels) {
    const struct {
        const char* figure;
        int width, height;
        void (*draw)(Surface&);
        std::vector<std::string> rows;  // '#' drawn, '.' white
    } cases[] = {
        {"circle r1",
         5,
         5,
         [](Surface& s) { surface_circle(s, 2, 2, 1, BLACK); },
         {
             ".....",
             "..#..",
             ".#.#.",
             "..#..",
             ".....",
         }},
        {"circle r5",
         13,
         13,
         [](Surface& s) { surface_circle(s, 6, 6, 5, BLACK); },
         {
             ".............",
             "....#####....",
             "...#.....#...",
             "..#.......#..",
             ".#.........#.",
             ".#.........#.",
             ".#.........#.",
             ".#.........#.",
             ".#.........#.",
             "..#.......#..",
             "...#.....#...",
             "....#####....",
             ".............",
         }},
        {"horizontal",
         7,
         3,
         [](Surface& s) { surface_line(s, 1, 1, 5, 1, BLACK); },
         {
             ".......",
             ".#####.",
             ".......",
         }},
        {"vertical",
         3,
         7,
         [](Surface& s) { surface_line(s, 1, 5, 1, 1, BLACK); },
         {
             "...",
             ".#.",
             ".#.",
             ".#.",
             ".#.",
             ".#.",
             "...",
         }},
        {"shallow right down",
         9,
         5,
         [](Surface& s) { surface_line(s, 0, 1, 8, 3.4f, BLACK); },
         {
             ".........",
             "##.......",
             "..####...",
             "......###",
             ".........",
         }},
        {"shallow left up",
         9,
         5,
         [](Surface& s) { surface_line(s, 8, 3.4f, 0, 1, BLACK); },
         {
             ".........",
             "###......",
             "...####..",
             ".......##",
             ".........",
         }},
        {"steep down left",
         5,
         9,
         [](Surface& s) { surface_line(s, 3.4f, 0, 1, 8, BLACK); },
         {
             "...#.",
             "...#.",
             "..#..",
             "..#..",
             "..#..",
             "..#..",
             ".#...",
             ".#...",
             ".#...",
         }},
        {"steep up right",
         5,
         9,
         [](Surface& s) { surface_line(s, 1, 8, 3.4f, 0, BLACK); },
         {
             "...#.",
             "...#.",
             "...#.",
             "..#..",
             "..#..",
             "..#..",
             "..#..",
             ".#...",
             ".#...",
         }},
        {"clipped left",
         6,
         5,
         [](Surface& s) { surface_line(s, -6, 0, 3, 4, BLACK); },
         {
             "......",
             "......",
             "......",
             "##....",
             "..##..",
         }},
        {"clipped right",
         6,
         5,
         [](Surface& s) { surface_line(s, 2, 0, 11, 4, BLACK); },
         {
             "..#...",
             "...##.",
             ".....#",
             "......",
             "......",
         }},
        {"clipped top",
         5,
         6,
         [](Surface& s) { surface_line(s, 0, -6, 4, 3, BLACK); },
         {
             "...#.",
             "...#.",
             "....#",
             "....#",
             ".....",
             ".....",
         }},
        {"clipped bottom",
         5,
         6,
         [](Surface& s) { surface_line(s, 0, 2, 4, 11, BLACK); },
         {
             ".....",
             ".....",
             "#....",
             ".#...",
             ".#...",
             "..#..",
         }},
        // At a display scale: pixels of the screen, a pen of about one unit.
        {"circle r5 at 2",
         25,
         25,
         [](Surface& s) {
             surface_set_scale(s, 2);
             surface_circle(s, 6, 6, 5, BLACK);
         },
         {
             ".........................", ".........................", "........#########........",
             "......#############......", ".....###.........###.....", "....###...........###....",
             "...###.............###...", "...##...............##...", "..##.................##..",
             "..##.................##..", "..##.................##..", "..##.................##..",
             "..##.................##..", "..##.................##..", "..##.................##..",
             "..##.................##..", "..##.................##..", "...##...............##...",
             "...###.............###...", "....###...........###....", ".....###.........###.....",
             "......#############......", "........#########........", ".........................",
             ".........................",
         }},
        {"shallow at 2",
         18,
         10,
         [](Surface& s) {
             surface_set_scale(s, 2);
             surface_line(s, 0, 1, 8, 3.4f, BLACK);
         },
         {
             "..................",
             "##................",
             "#####.............",
             "..######..........",
             ".....#######......",
             "........#######...",
             "............#####.",
             "...............##.",
             "..................",
             "..................",
         }},
        {"steep at 1.5",
         8,
         14,
         [](Surface& s) {
             surface_set_scale(s, 1.5);
             surface_line(s, 3.4f, 0, 1, 8, BLACK);
         },
         {
             "....##..",
             "....##..",
             "...##...",
             "...##...",
             "...##...",
             "...##...",
             "..##....",
             "..##....",
             "..##....",
             "..##....",
             ".##.....",
             ".##.....",
             ".##.....",
             "........",
         }},
        {"circle r5 at 1.25",
         17,
         17,
         [](Surface& s) {
             surface_set_scale(s, 1.25);
             surface_circle(s, 6.4f, 6.4f, 5, BLACK);
         },
         {
             ".................",
             ".................",
             "......#####......",
             ".....#.....#.....",
             "....#.......#....",
             "...#.........#...",
             "..#...........#..",
             "..#...........#..",
             "..#...........#..",
             "..#...........#..",
             "..#...........#..",
             "...#.........#...",
             "....#.......#....",
             ".....#.....#.....",
             "......#####......",
             ".................",
             ".................",
         }},
    };
    for (const auto& c : cases) {
        Surface s = white_surface(c.width, c.height);
        c.draw(s);
        EXPECT_EQ(picture(s), c.rows) << c.figure;
    }
}

TEST(Surface, a_pixel_keeps_the_colour_value_it_was_drawn_with) {
    Surface s = white_surface(20, 20);
    surface_line(s, 3, 4, 3, 4, make_colour(200, 10, 30));
    EXPECT_EQ(surface_colour_at(s, 3, 4), make_colour(200, 10, 30));
    EXPECT_EQ(surface_colour_at(s, 4, 4), WHITE);
}

TEST(Surface, a_line_drawn_again_in_white_leaves_no_trace) {
    Surface s = white_surface(100, 100);
    surface_line(s, 10.3f, 12.7f, 80.6f, 33.1f, BLACK);
    surface_circle(s, 50.4f, 50.6f, 5, BLACK);
    EXPECT_GT(count_colour(s, BLACK), 60);
    surface_line(s, 10.3f, 12.7f, 80.6f, 33.1f, WHITE);
    surface_circle(s, 50.4f, 50.6f, 5, WHITE);
    EXPECT_EQ(count_colour(s, WHITE), 100 * 100);
}

TEST(Surface, line_on_continues_from_the_end_of_the_last_line) {
    Surface a = white_surface(40, 40), b = white_surface(40, 40);
    surface_line(a, 1, 1, 20, 5, BLACK);
    surface_line_on(a, 30, 30, BLACK);
    surface_line(b, 1, 1, 20, 5, BLACK);
    surface_line(b, 20, 5, 30, 30, BLACK);
    EXPECT_EQ(a.pixels, b.pixels);
}

TEST(Surface, circle_outline_is_symmetric_and_hollow) {
    Surface s = white_surface(30, 30);
    surface_circle(s, 15, 15, 5, BLACK);
    EXPECT_EQ(surface_colour_at(s, 20, 15), BLACK);
    EXPECT_EQ(surface_colour_at(s, 10, 15), BLACK);
    EXPECT_EQ(surface_colour_at(s, 15, 20), BLACK);
    EXPECT_EQ(surface_colour_at(s, 15, 10), BLACK);
    EXPECT_EQ(surface_colour_at(s, 15, 15), WHITE);
    for (int y = 0; y < 30; ++y) {
        for (int x = 1; x < 30; ++x) {
            EXPECT_EQ(surface_colour_at(s, x, y), surface_colour_at(s, 30 - x, y)) << x << "," << y;
        }
    }
}

TEST(Surface, drawing_beyond_the_edges_is_clipped_not_wrapped) {
    Surface s = white_surface(50, 40);
    surface_line(s, 40, 10, 70, 10, BLACK);         // runs off the right edge
    surface_circle(s, -2, 20, 5, BLACK);            // mostly off the left edge
    surface_line(s, -1e30f, -5, 1e30f, -5, BLACK);  // wholly above the area
    EXPECT_EQ(surface_colour_at(s, 49, 10), BLACK);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(surface_colour_at(s, x, 10), WHITE);
    EXPECT_EQ(surface_colour_at(s, 3, 20), BLACK);
    EXPECT_EQ(surface_colour_at(s, 49, 20), WHITE);
    for (int x = 0; x < 50; ++x)
        EXPECT_EQ(surface_colour_at(s, x, 0), WHITE);
}

TEST(Surface, a_huge_line_through_the_area_is_drawn_where_it_crosses) {
    Surface s = white_surface(50, 40);
    surface_line(s, -1e20f, 20, 1e20f, 20, BLACK);
    for (int x = 0; x < 50; ++x)
        EXPECT_EQ(surface_colour_at(s, x, 20), BLACK) << x;
}

TEST(Surface, non_finite_coordinates_are_a_fault) {
    Surface s = white_surface(10, 10);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_THROW(surface_line(s, nan, 0, 1, 1, BLACK), GameFault);
    EXPECT_THROW(surface_circle(s, 1, std::numeric_limits<float>::infinity(), 1, BLACK), GameFault);
}

TEST(Surface, resize_keeps_the_picture_in_place_and_fills_new_area_white) {
    Surface s = white_surface(10, 10);
    surface_line(s, 2, 3, 2, 3, BLACK);
    surface_resize(s, 20, 15);
    EXPECT_EQ(s.width, 20);
    EXPECT_EQ(s.height, 15);
    EXPECT_EQ(surface_colour_at(s, 2, 3), BLACK);
    EXPECT_EQ(count_colour(s, WHITE), 20 * 15 - 1);
    surface_resize(s, 0, 0);
    surface_line(s, 0, 0, 5, 5, BLACK);
    surface_circle(s, 0, 0, 5, BLACK);
    surface_clear(s);
    EXPECT_TRUE(s.pixels.empty());
}

TEST(Surface, clear_makes_everything_white) {
    Surface s = white_surface(10, 10);
    surface_line(s, 0, 0, 9, 9, BLACK);
    surface_clear(s);
    EXPECT_EQ(count_colour(s, WHITE), 100);
}

// A line that comes near an edge is drawn through the checked path, one with
// room around it through the unchecked one: drawn again with a margin of room
// around the picture, every line covers the same pixels.
TEST(Surface, lines_near_the_edges_cover_what_they_cover_with_room_around) {
    constexpr int W = 24, H = 18, ROOM = 4;
    std::mt19937 random(7);
    // Sixteenths of a pixel across (-1, size): the ends are never clipped.
    const auto at = [&](int size) {
        return static_cast<float>(std::uniform_int_distribution<>(-15, size * 16 - 1)(random)) / 16;
    };
    for (int pen = 1; pen <= 3; ++pen) {
        for (int n = 0; n < 10000; ++n) {
            const float x1 = at(W), y1 = at(H), x2 = at(W), y2 = at(H);
            Surface edge = white_surface(W, H), room = white_surface(W + 2 * ROOM, H + 2 * ROOM);
            edge.pen = room.pen = pen;
            surface_line(edge, x1, y1, x2, y2, BLACK);
            surface_line(room, x1 + ROOM, y1 + ROOM, x2 + ROOM, y2 + ROOM, BLACK);
            for (int y = 0; y < H; ++y) {
                for (int x = 0; x < W; ++x) {
                    ASSERT_EQ(surface_colour_at(edge, x, y),
                              surface_colour_at(room, x + ROOM, y + ROOM))
                        << "pen " << pen << ", (" << x1 << ", " << y1 << ") to (" << x2 << ", "
                        << y2 << ") at pixel " << x << ", " << y;
                }
            }
        }
    }
}

}  // namespace
