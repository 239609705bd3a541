#include "sound/mixer.h"

#include <algorithm>
#include <cmath>

#include "base/maths.h"
#include "base/world.h"

namespace {

constexpr double LOUDEST_REPEAT = 2;      // n cues of a kind at once: sqrt(n) times as loud, at most this
constexpr double ENGINE_BASE_RATE = 0.6;  // the engine's pitch at a crawl, and its rise to full speed
constexpr double ENGINE_RISE = 0.5;
constexpr double FULL_SPEED = 3;
constexpr float ENGINE_SMOOTHING = 0.002f;  // of the way to the engine's loudness, each frame
constexpr float LIMITER_RELEASE = 0.0005f;  // of the way back to 1, each frame...
constexpr float LIMITER_FINISH = 5e-7f;    // ...and this, so that it reaches 1 in the end

Sound sound_of(CueKind kind) {
    switch (kind) {
        case CueKind::PlayerShot:
            return Sound::PlayerShot;
        case CueKind::EnemyShot:
            return Sound::EnemyShot;
        case CueKind::Burst:
            return Sound::Burst;
        case CueKind::Hit:
            return Sound::Hit;
        case CueKind::Destroyed:
            return Sound::Destroyed;
        case CueKind::PlayerDestroyed:
            return Sound::PlayerDestroyed;
        case CueKind::LevelWon:
            return Sound::LevelWon;
        case CueKind::LevelLost:
            return Sound::LevelLost;
        default:
            return Sound::Engine;  // the engine's cues start and stop no voice of their own
    }
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
    const auto quietest = std::min_element(m.voices.begin(), m.voices.end(),
                                           [](const Voice& a, const Voice& b) { return loudness(a) < loudness(b); });
    if (loudness(*quietest) < loudness(v)) *quietest = v;
}

// The engine's loop, at its pitch, fading in as it starts and out as it
// stops, added into the frames.
void add_engine(Mixer& m, float* left, float* right, std::size_t frames) {
    const Samples& engine = m.sounds[static_cast<std::size_t>(Sound::Engine)];
    const float target = m.engine_rate > 0 ? 1.0f : 0.0f;
    if (engine.empty() || (m.engine_gain == 0 && target == 0)) return;
    const double step = std::max(m.engine_rate, ENGINE_BASE_RATE), loop = static_cast<double>(engine.size());
    const float from = m.engine_gain;
    const auto to = static_cast<float>(target + (from - target) * std::pow(1.0 - ENGINE_SMOOTHING, static_cast<double>(frames)));
    const auto at = static_cast<float>(m.engine_at), pace = static_cast<float>(step);
    const auto size = static_cast<int>(engine.size());
    const float rise = (to - from) / static_cast<float>(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        const auto frame = static_cast<float>(f);
        int i = static_cast<int>(at + frame * pace);
        if (i >= size) i -= size;  // a period's frames go round the loop once at most
        const float s = engine[static_cast<std::size_t>(i)] * (from + rise * frame) * 0.5f;
        left[f] += s;
        right[f] += s;
    }
    m.engine_at = std::fmod(at + static_cast<double>(frames) * step, loop);
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
        const auto louder = static_cast<float>(std::min(LOUDEST_REPEAT, std::sqrt(static_cast<double>(count))));
        loudest.left *= louder;
        loudest.right *= louder;
        add_voice(m, loudest);
    }
}

void mixer_set_engine(Mixer& m, double speed) {
    m.engine_rate = speed > 0 ? ENGINE_BASE_RATE + ENGINE_RISE * std::min(speed, FULL_SPEED) : 0;
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
    std::fill(m.left.begin(), m.left.end(), 0.0f);
    std::fill(m.right.begin(), m.right.end(), 0.0f);
    // The voices, each added across all the frames at once.
    float* const left = m.left.data();
    float* const right = m.right.data();
    for (Voice& v : m.voices) {
        const Samples& sound = m.sounds[static_cast<std::size_t>(v.sound)];
        const std::size_t count = std::min(frames, sound.size() - v.at);
        const float* const samples = sound.data() + v.at;
        const float to_left = v.left, to_right = v.right;
        for (std::size_t f = 0; f < count; ++f) left[f] += samples[f] * to_left;
        for (std::size_t f = 0; f < count; ++f) right[f] += samples[f] * to_right;
        v.at += count;
    }
    std::erase_if(m.voices, [&](const Voice& v) { return v.at >= m.sounds[static_cast<std::size_t>(v.sound)].size(); });
    add_engine(m, left, right, frames);
    // The limiter: at once as low as keeps the louder side within 1, then
    // slowly back. While no frame needs it, the frames only take the volume.
    const float volume = m.volume;
    float loudest = 0;
    for (std::size_t f = 0; f < frames; ++f) {
        stereo[2 * f] = left[f] * volume;
        stereo[2 * f + 1] = right[f] * volume;
        loudest = std::max(loudest, std::max(std::fabs(left[f]), std::fabs(right[f])));
    }
    if (m.limit == 1 && loudest * volume <= 1) return;
    float limit = m.limit;
    for (std::size_t f = 0; f < frames; ++f) {
        const float peak = std::max(std::fabs(left[f]), std::fabs(right[f])) * volume;
        if (peak * limit > 1) limit = 1 / peak;
        const float gain = volume * limit;
        stereo[2 * f] = std::clamp(left[f] * gain, -1.0f, 1.0f);
        stereo[2 * f + 1] = std::clamp(right[f] * gain, -1.0f, 1.0f);
        limit = std::min(1.0f, limit + (1 - limit) * LIMITER_RELEASE + LIMITER_FINISH);
    }
    m.limit = limit;
}
