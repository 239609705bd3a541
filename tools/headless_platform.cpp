#include "tools/headless_platform.h"

#include <cmath>
#include <utility>

HeadlessPlatform::HeadlessPlatform(int width, int height, std::uint32_t seed, double scale) {
    surface_set_scale(surface, scale);
    resize_surface(width, height);
    random_seed(random, seed);
}

void HeadlessPlatform::resize_surface(int width, int height) {
    area_width = width;
    area_height = height;
    surface_resize(surface, static_cast<int>(std::lround(width * surface.scale)),
                   static_cast<int>(std::lround(height * surface.scale)));
}

void HeadlessPlatform::clear_surface() {
    if (record_draws) draws.push_back({DrawOp::Kind::Clear});
    surface_clear(surface);
}

void HeadlessPlatform::draw_line(float x1, float y1, float x2, float y2, ColourValue colour) {
    if (record_draws) draws.push_back({DrawOp::Kind::Line, x1, y1, x2, y2, colour});
    surface_line(surface, x1, y1, x2, y2, colour);
}

void HeadlessPlatform::draw_line_on(float x2, float y2, ColourValue colour) {
    if (record_draws) draws.push_back({DrawOp::Kind::LineOn, x2, y2, 0, 0, colour});
    surface_line_on(surface, x2, y2, colour);
}

void HeadlessPlatform::draw_circle(float x, float y, float radius, ColourValue colour) {
    if (record_draws) draws.push_back({DrawOp::Kind::Circle, x, y, radius, 0, colour});
    surface_circle(surface, x, y, radius, colour);
}

void HeadlessPlatform::set_Caption(ResultLabel label, std::string_view text) {
    (label == ResultLabel::Label3 ? label3 : label4) = text;
}

float HeadlessPlatform::next_random() {
    if (!using_given_randoms) {
        ++randoms_served;
        return random_next(random);
    }
    if (randoms_served >= given_randoms.size()) {
        throw RandomsRanOut("the list of random numbers ran out after " +
                            std::to_string(randoms_served) + " numbers");
    }
    return given_randoms[randoms_served++];
}

void HeadlessPlatform::use_randoms(std::vector<float> numbers) {
    given_randoms = std::move(numbers);
    using_given_randoms = true;
    randoms_served = 0;
}
