// What a player would hear of a period, as the battle says it happened: a
// shot, a shell's burst, a tank hit or destroyed, a level won or lost, and
// the player's engine starting and stopping, each with its place on the
// field. The battle appends them and never reads them back, so they change
// nothing in it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

enum class CueKind : std::uint8_t {
    PlayerShot,
    EnemyShot,
    Burst,
    Hit,              // a tank's first hit
    Destroyed,        // an enemy's last hit
    PlayerDestroyed,  // the player's tank's last hit
    LevelWon,
    LevelLost,
    EngineStart,  // the player's tank starts moving
    EngineStop,   // ... stops, or is destroyed
};

// The names the cue stream writes, in CueKind's order.
inline constexpr std::string_view CUE_NAMES[] = {
    "player_shot",      "enemy_shot", "burst",      "hit",          "destroyed",
    "player_destroyed", "level_won",  "level_lost", "engine_start", "engine_stop"};

struct Cue {
    CueKind kind = CueKind::Burst;
    float x = 0;  // where on the field, drawing units
    float y = 0;
    bool operator==(const Cue&) const = default;
};

using Cues = std::vector<Cue>;
