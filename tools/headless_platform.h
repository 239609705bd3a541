// A platform without a display, for tests and tools: the surface is the same
// picture the window shows, the timer and the two small windows are flags,
// and the random numbers come from a seeded generator or from a given list.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/random_source.h"
#include "drawing/surface.h"

// One drawing operation as the game handed it over.
struct DrawOp {
    enum class Kind { Clear, Line, LineOn, Circle };
    Kind kind;
    float a = 0, b = 0, c = 0, d = 0;  // line: x1 y1 x2 y2; line_on: x2 y2; circle: x y radius
    ColourValue colour = 0;
    bool operator==(const DrawOp&) const = default;
};

// Thrown by next_random when a given list of numbers is used up.
struct RandomsRanOut : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct SecondaryWindow {
    bool visible = false;
};

class HeadlessPlatform : public Platform {
  public:
    // A white drawing area of the given size in drawing units, `scale` pixels
    // to a unit, the timer enabled, no next-level request in Tag, the
    // generator seeded with `seed`.
    explicit HeadlessPlatform(int width = DESIGN_WIDTH, int height = DESIGN_HEIGHT,
                              std::uint32_t seed = 1, double scale = 1);

    void clear_surface() override;
    void draw_line(float x1, float y1, float x2, float y2, ColourValue colour) override;
    void draw_line_on(float x2, float y2, ColourValue colour) override;
    void draw_circle(float x, float y, float radius, ColourValue colour) override;
    float ScaleWidth() override { return static_cast<float>(area_width); }
    float ScaleHeight() override { return static_cast<float>(area_height); }
    void resize_surface(int width, int height) override;
    std::string_view Tag() override { return tag; }
    void set_Tag(std::string_view text) override { tag = text; }
    bool tmr_Enabled() override { return tmr_enabled; }
    void set_tmr_Enabled(bool enabled) override { tmr_enabled = enabled; }
    bool frm_winlose_Visible() override { return frm_winlose.visible; }
    void set_frm_winlose_Visible(bool visible) override { frm_winlose.visible = visible; }
    bool frm_help_Visible() override { return frm_help.visible; }
    void set_frm_help_Visible(bool visible) override { frm_help.visible = visible; }
    void set_Caption(ResultLabel label, std::string_view text) override;
    void terminate_program() override { terminated = true; }
    float next_random() override;
    void reseed_random() override {}  // keeps the sequence, so runs are repeatable

    // Serves these numbers, in order, instead of the generator.
    void use_randoms(std::vector<float> numbers);

    Surface surface;
    int area_width = 0;  // the drawing area, drawing units
    int area_height = 0;
    std::string tag{TAG_NO_REQUEST};
    bool tmr_enabled = true;
    SecondaryWindow frm_winlose;
    SecondaryWindow frm_help;
    std::string label3 = "Label3";  // the result window's number captions
    std::string label4 = "Label4";
    bool terminated = false;
    bool record_draws = false;  // append every drawing operation to `draws`
    std::vector<DrawOp> draws;
    RandomSource random;
    std::vector<float> given_randoms;  // served first when use_randoms was called
    bool using_given_randoms = false;
    std::size_t randoms_served = 0;  // numbers next_random has given since the start
};
