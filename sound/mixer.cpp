#include "sound/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/bits.h"
#include "base/maths.h"
#include "base/world.h"

namespace {

constexpr double LOUDEST_REPEAT =
    2;  // n cues of a kind at once: sqrt(n) times as loud, at most this
constexpr double ENGINE_BASE_RATE =
    0.6;  // the engine's pitch at a crawl, and its rise to full speed
constexpr double ENGINE_RISE = 0.5;
constexpr float ENGINE_SMOOTHING = 0.002f;  // of the way to the engine's loudness, each frame
constexpr std::size_t LIMITER_BLOCK = 16;   // frames the limiter takes at a time
constexpr float LIMITER_RELEASE = 0.0005f;  // of the way back to 1, each frame...
constexpr float LIMITER_FINISH = 5e-7f;     // ...and this, so that it reaches 1 in the end
// The loudest a frame may come out: far enough below 1 that rounding a
// frame times its gain cannot reach past 1.
constexpr float LIMITER_CEILING = 1 - 1e-6f;
// What is left of the way back to 1 after a block.
const float LIMITER_KEEP =
    static_cast<float>(power(1.0 - LIMITER_RELEASE, static_cast<double>(LIMITER_BLOCK)));

// The sound of each cue, in CueKind's order; the engine's cues start and stop
// no voice of their own.
constexpr Sound SOUND_OF[] = {
    Sound::PlayerShot,      Sound::EnemyShot, Sound::Burst,     Sound::Hit,    Sound::Destroyed,
    Sound::PlayerDestroyed, Sound::LevelWon,  Sound::LevelLost, Sound::Engine, Sound::Engine};
static_assert(std::size(SOUND_OF) == std::size(CUE_NAMES));

Sound sound_of(CueKind kind) {
    return SOUND_OF[static_cast<std::size_t>(kind)];
}

bool everywhere(CueKind kind) {
    return kind == CueKind::LevelWon || kind == CueKind::LevelLost;
}

// A voice for a cue at its place: panned across the field with equal power,
// halved at HEARING_DISTANCE from the listener; a level's, in the middle.
Voice voice_for(const Cue& cue, const Listener& l) {
    Voice v{.sound = sound_of(cue.kind)};
    double across = 0.5, near = 1;
    if (!everywhere(cue.kind)) {
        across = std::clamp(cue.x / l.width, 0.0, 1.0);
        const double dx = cue.x - l.x, dy = cue.y - l.y;
        near = 1 / (1 + std::sqrt(dx * dx + dy * dy) / HEARING_DISTANCE);
    }
    v.left = static_cast<float>(near * cosine(across * HALF_PI));
    v.right = static_cast<float>(near * sine(across * HALF_PI));
    return v;
}

std::int32_t magnitude_bits(float sample) {
    return bits_as<std::int32_t>(sample) & 0x7FFFFFFF;
}

float loudness(const Voice& v) {
    return std::max(v.left, v.right);
}

// Adds a voice; past the cap, the quietest voice, this one or another, gives way.
void add_voice(Mixer& m, const Voice& v) {
    ++m.started[static_cast<std::size_t>(v.sound)];
    if (m.voices.size() < MAX_VOICES) {
        m.voices.push_back(v);
        return;
    }
    const auto quietest =
        std::min_element(m.voices.begin(), m.voices.end(),
                         [](const Voice& a, const Voice& b) { return loudness(a) < loudness(b); });
    if (loudness(*quietest) < loudness(v)) *quietest = v;
}

// The frames start from the engine's loop, at its pitch, fading in as it
// starts and out as it stops, the same on both sides; or from silence.
void start_with_engine(Mixer& m, float* left, float* right, std::size_t frames) {
    const Samples& engine = m.sounds[static_cast<std::size_t>(Sound::Engine)];
    const float target = m.engine_rate > 0 ? 1.0f : 0.0f;
    if (engine.empty() || (m.engine_gain == 0 && target == 0)) {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
        return;
    }
    const float from = m.engine_gain;
    const auto to = static_cast<float>(
        target + (from - target) * std::pow(1.0 - ENGINE_SMOOTHING, static_cast<double>(frames)));
    const float rise = (to - from) / static_cast<float>(frames);
    // Where the loop is read, in 32.32 fixed point: whole frames and a fraction.
    constexpr double WHOLE = 4294967296.0;
    const std::uint64_t loop = static_cast<std::uint64_t>(engine.size()) << 32;
    const auto pace = static_cast<std::uint64_t>(std::max(m.engine_rate, ENGINE_BASE_RATE) * WHOLE);
    auto at = static_cast<std::uint64_t>(m.engine_at * WHOLE);
    for (std::size_t f = 0; f < frames; ++f) {
        left[f] = engine[static_cast<std::size_t>(at >> 32)];
        at += pace;
        if (at >= loop) at -= loop;
    }
    for (int f = 0; f < static_cast<int>(frames);
         ++f) {  // an int, which turns into a float four at a time
        const float s = left[f] * (from + rise * static_cast<float>(f)) * 0.5f;
        left[f] = s;
        right[f] = s;
    }
    m.engine_at = static_cast<double>(at) / WHOLE;
    m.engine_gain = target == 0 && to < ENGINE_SMOOTHING ? 0 : to;
}

}  // namespace

void mixer_start(Mixer& m) {
    if (m.sounds.front().empty()) m.sounds = render_sounds();
    mixer_silence(m);
    m.limit = 1;
}

void mixer_silence(Mixer& m) {
    m.voices.clear();
    m.engine_at = m.engine_rate = 0;
    m.engine_gain = 0;
}

void mixer_play(Mixer& m, std::span<const Cue> cues, const Listener& listener) {
    for (std::size_t k = 0; k < std::size(CUE_NAMES); ++k) {
        const auto kind = static_cast<CueKind>(k);
        if (sound_of(kind) == Sound::Engine) continue;
        Voice loudest;
        int count = 0;
        for (const Cue& cue : cues) {
            if (cue.kind != kind) continue;
            const Voice v = voice_for(cue, listener);
            if (count++ == 0 || loudness(v) > loudness(loudest)) loudest = v;
        }
        if (count == 0) continue;
        const auto louder =
            static_cast<float>(std::min(LOUDEST_REPEAT, std::sqrt(static_cast<double>(count))));
        loudest.left *= louder;
        loudest.right *= louder;
        add_voice(m, loudest);
    }
}

void mixer_set_engine(Mixer& m, double speed) {
    m.engine_rate =
        speed > 0 ? ENGINE_BASE_RATE + ENGINE_RISE * std::min(speed, static_cast<double>(TOP_SPEED))
                  : 0;
}

void mixer_render(Mixer& m, std::span<float> stereo) {
    if (m.muted) {  // nothing to mix: what was playing is not heard again
        mixer_silence(m);
        std::fill(stereo.begin(), stereo.end(), 0.0f);
        return;
    }
    const std::size_t frames = stereo.size() / 2;
    m.left.resize(frames);
    m.right.resize(frames);
    float* const left = m.left.data();
    float* const right = m.right.data();
    start_with_engine(m, left, right, frames);
    // The voices, each added across all the frames at once.
    for (Voice& v : m.voices) {
        const Samples& sound = m.sounds[static_cast<std::size_t>(v.sound)];
        const std::size_t count = std::min(frames, sound.size() - v.at);
        const float* const samples = sound.data() + v.at;
        const float to_left = v.left, to_right = v.right;
        for (std::size_t f = 0; f < count; ++f)
            left[f] += samples[f] * to_left;
        for (std::size_t f = 0; f < count; ++f)
            right[f] += samples[f] * to_right;
        v.at += count;
    }
    std::erase_if(m.voices, [&](const Voice& v) {
        return v.at >= m.sounds[static_cast<std::size_t>(v.sound)].size();
    });
    // The limiter, a short block of frames at a time: at once as low as keeps
    // the block's louder side a hair within 1 (so that no frame needs
    // clamping), then slowly back toward 1, gliding across each block.
    const float volume = m.volume;
    float limit = m.limit;
    for (std::size_t at = 0; at < frames; at += LIMITER_BLOCK) {
        const std::size_t end = std::min(frames, at + LIMITER_BLOCK);
        std::int32_t loudest = 0;  // the largest magnitude's bits, which order as the magnitudes do
        for (std::size_t f = at; f < end; ++f)
            loudest = std::max({loudest, magnitude_bits(left[f]), magnitude_bits(right[f])});
        const float peak = bits_as<float>(loudest) * volume;
        float to = std::min(1.0f, 1 - (1 - limit) * LIMITER_KEEP + LIMITER_FINISH * LIMITER_BLOCK);
        if (peak * to > LIMITER_CEILING) to = LIMITER_CEILING / peak;
        const int count = static_cast<int>(end - at);
        const float from = std::min(limit, to), rise = (to - from) / static_cast<float>(count);
        const float *block_left = left + at, *block_right = right + at;
        float* const out = stereo.data() + 2 * at;
        for (int f = 0; f < count; ++f) {
            const float gain = volume * (from + rise * static_cast<float>(f + 1));
            out[2 * f] = block_left[f] * gain;
            out[2 * f + 1] = block_right[f] * gain;
        }
        limit = to;
    }
    m.limit = limit;
}

bool mixer_sounding(const Mixer& m) {
    return !m.muted && (!m.voices.empty() || m.engine_rate > 0 || m.engine_gain > 0);
}
