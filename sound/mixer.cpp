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
constexpr float LIMITER_RELEASE = 0.0005f;  // of the way back to 1, each frame

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
    if (m.voices.size() < MAX_VOICES) {
        m.voices.push_back(v);
        return;
    }
    const auto quietest = std::min_element(m.voices.begin(), m.voices.end(),
                                           [](const Voice& a, const Voice& b) { return loudness(a) < loudness(b); });
    if (loudness(*quietest) < loudness(v)) *quietest = v;
}

}  // namespace

void mixer_start(Mixer& m) {
    if (m.sounds.front().empty()) m.sounds = render_sounds();
    m.voices.clear();
    m.engine_at = m.engine_rate = 0;
    m.engine_gain = 0;
    m.limit = 1;
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
    const Samples& engine = m.sounds[static_cast<std::size_t>(Sound::Engine)];
    const float engine_target = m.engine_rate > 0 ? 1.0f : 0.0f;
    for (std::size_t f = 0; f + 1 < stereo.size(); f += 2) {
        double left = 0, right = 0;
        for (Voice& v : m.voices) {
            const Samples& sound = m.sounds[static_cast<std::size_t>(v.sound)];
            if (v.at >= sound.size()) continue;
            const float s = sound[v.at++];
            left += s * v.left;
            right += s * v.right;
        }
        m.engine_gain += (engine_target - m.engine_gain) * ENGINE_SMOOTHING;
        if (m.engine_gain > 0 && !engine.empty()) {
            const double s = engine[static_cast<std::size_t>(m.engine_at)] * m.engine_gain;
            left += s * 0.5;
            right += s * 0.5;
            m.engine_at += std::max(m.engine_rate, ENGINE_BASE_RATE);
            if (m.engine_at >= static_cast<double>(engine.size())) m.engine_at -= static_cast<double>(engine.size());
        }
        // The limiter: at once as low as keeps the loudest side within 1,
        // then slowly back.
        const double peak = std::max(std::fabs(left), std::fabs(right)) * m.volume;
        if (peak * m.limit > 1) m.limit = static_cast<float>(1 / peak);
        const double gain = m.muted ? 0 : m.volume * m.limit;
        stereo[f] = static_cast<float>(std::clamp(left * gain, -1.0, 1.0));
        stereo[f + 1] = static_cast<float>(std::clamp(right * gain, -1.0, 1.0));
        m.limit += (1 - m.limit) * LIMITER_RELEASE;
    }
    std::erase_if(m.voices, [&](const Voice& v) { return v.at >= m.sounds[static_cast<std::size_t>(v.sound)].size(); });
}
