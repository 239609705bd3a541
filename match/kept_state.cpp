#include "match/kept_state.h"

#include "base/seven_bit.h"

namespace {

constexpr int COLOUR_BYTES = 3;  // red, green, blue; every pixel is opaque
constexpr std::uint32_t OPAQUE = 0xFF000000u;

// Runs of one colour: the run's length, then its colour.
std::vector<std::uint8_t> run_length_coded(const std::vector<std::uint32_t>& pixels) {
    std::vector<std::uint8_t> out;
    for (std::size_t at = 0; at < pixels.size();) {
        std::size_t end = at + 1;
        while (end < pixels.size() && pixels[end] == pixels[at])
            ++end;
        append_seven_bit(out, end - at);
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
        const auto count = static_cast<std::size_t>(*read_seven_bit(std::span(runs), at));
        std::uint32_t colour = OPAQUE;
        for (int i = 0; i < COLOUR_BYTES; ++i)
            colour |= static_cast<std::uint32_t>(runs[at++]) << (16 - 8 * i);
        pixels.insert(pixels.end(), count, colour);
    }
    return pixels;
}

}  // namespace

KeptState keep_state(Session& session, const ReplayPosition& at, ReplayState state) {
    KeptState kept{{}, run_length_coded(session.picture.pixels), at, state};
    // The session but its pixels, which the runs keep.
    std::vector<std::uint32_t> pixels = std::move(session.picture.pixels);
    kept.session = session;
    session.picture.pixels = std::move(pixels);
    return kept;
}

void restore_state(const KeptState& kept, Session& session, Replay& replay) {
    std::vector<DrawOp>* const draw_log = session.picture.draw_log;
    const double scale = session.picture.scale;
    session = kept.session;
    Surface& picture = session.picture;
    picture.draw_log = draw_log;
    if (!picture.blind) {
        picture.pixels = decoded(kept.pixels, static_cast<std::size_t>(picture.width) *
                                                  static_cast<std::size_t>(picture.height));
        surface_mark_changed(picture, {0, 0, picture.width - 1, picture.height - 1});
    }
    // Kept at another display scale: the picture starts afresh at this one.
    if (picture.scale != scale)
        surface_set_area(picture, picture.area_width, picture.area_height, scale);
    replay_stand_at(replay, session, kept.at, kept.state);
}

std::size_t kept_size(const KeptState& kept) {
    const Session& s = kept.session;
    return sizeof kept + kept.pixels.capacity() + s.picture.dirty_tiles.capacity() +
           s.random.later_seeds.capacity() * sizeof(std::uint32_t) +
           s.random.list.capacity() * sizeof(float);
}
