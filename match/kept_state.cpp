#include "match/kept_state.h"

namespace {

constexpr int COLOUR_BYTES = 3;  // red, green, blue; every pixel is opaque
constexpr std::uint32_t OPAQUE = 0xFF000000u;

void put_count(std::vector<std::uint8_t>& out, std::size_t count) {
    for (; count >= 0x80; count >>= 7)
        out.push_back(static_cast<std::uint8_t>(count | 0x80));
    out.push_back(static_cast<std::uint8_t>(count));
}

// Runs of one colour: the run's length, then its colour.
std::vector<std::uint8_t> run_length_coded(const std::vector<std::uint32_t>& pixels) {
    std::vector<std::uint8_t> out;
    for (std::size_t at = 0; at < pixels.size();) {
        std::size_t end = at + 1;
        while (end < pixels.size() && pixels[end] == pixels[at])
            ++end;
        put_count(out, end - at);
        for (int shift = 16; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(pixels[at] >> shift));
        at = end;
    }
    return out;
}

std::vector<std::uint32_t> decoded(const std::vector<std::uint8_t>& runs, std::size_t size) {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(size);
    for (std::size_t at = 0; at < runs.size();) {
        std::size_t count = 0;
        for (int shift = 0;; shift += 7) {
            count |= static_cast<std::size_t>(runs[at] & 0x7F) << shift;
            if ((runs[at++] & 0x80) == 0) break;
        }
        std::uint32_t colour = OPAQUE;
        for (int i = 0; i < COLOUR_BYTES; ++i)
            colour |= static_cast<std::uint32_t>(runs[at++]) << (16 - 8 * i);
        pixels.insert(pixels.end(), count, colour);
    }
    return pixels;
}

}  // namespace

KeptState keep_state(const Session& session, const Replay& replay) {
    KeptState kept{session, run_length_coded(session.picture.pixels), replay.at, replay.state};
    kept.session.picture.pixels = {};
    kept.session.picture.pixels.shrink_to_fit();
    return kept;
}

void restore_state(const KeptState& kept, Session& session, Replay& replay) {
    std::vector<DrawOp>* const draw_log = session.picture.draw_log;
    const double scale = session.picture.scale;
    session = kept.session;
    Surface& picture = session.picture;
    picture.draw_log = draw_log;
    picture.pixels = decoded(kept.pixels, static_cast<std::size_t>(picture.width) *
                                              static_cast<std::size_t>(picture.height));
    surface_mark_changed(picture, {0, 0, picture.width - 1, picture.height - 1});
    // Kept at another display scale: the picture starts afresh at this one.
    if (picture.scale != scale)
        surface_set_area(picture, picture.area_width, picture.area_height, scale);
    replay.at = kept.at;
    replay.state = kept.state;
}

std::size_t kept_size(const KeptState& kept) {
    const Session& s = kept.session;
    return sizeof kept + kept.pixels.capacity() + s.picture.dirty_tiles.capacity() +
           s.random.later_seeds.capacity() * sizeof(std::uint32_t) +
           s.random.list.capacity() * sizeof(float);
}
