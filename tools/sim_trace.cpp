#include "tools/sim_trace.h"

#include <cstdio>
#include <string_view>
#include <type_traits>

#include "base/bits.h"
#include "base/number_text.h"
#include "sound/synth.h"

namespace {

template <typename Number>
requires std::is_arithmetic_v<Number>
void put(std::string& out, Number value) {
    append_number(out, value);
}

void put(std::string& out, bool value) {
    out += value ? "true" : "false";
}

void put(std::string& out, std::string_view s) {
    out += '"';
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            out += "\\u00";
            out += "0123456789abcdef"[(c >> 4) & 0xF];
            out += "0123456789abcdef"[c & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

template <typename T>
void put(std::string& out, const SlotTable<T>& values) {
    out += '[';
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out += ',';
        put(out, values[i]);
    }
    out += ']';
}

void put(std::string& out, const DrawOp& op) {
    const auto coordinates = [&](const char* name, std::initializer_list<float> values) {
        out += '[';
        put(out, std::string_view(name));
        for (const float v : values) {
            out += ',';
            put(out, v);
        }
    };
    switch (op.kind) {
        case DrawOp::Kind::Clear:
            out += "[\"clear\"]";
            return;
        case DrawOp::Kind::Line:
            coordinates("line", {op.a, op.b, op.c, op.d});
            break;
        case DrawOp::Kind::LineOn:
            coordinates("line_on", {op.a, op.b});
            break;
        case DrawOp::Kind::Circle:
            coordinates("circle", {op.a, op.b, op.c});
            break;
    }
    out += ',';
    put(out, op.colour);
    out += ']';
}

void put(std::string& out, const std::vector<DrawOp>& ops) {
    out += '[';
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (i > 0) out += ',';
        put(out, ops[i]);
    }
    out += ']';
}

template <typename Value>
void field(std::string& out, const char* name, const Value& value) {
    if (out.back() != '{') out += ',';
    out += '"';
    out += name;
    out += "\":";
    put(out, value);
}

// The result window's number captions: their design text until it first opens.
std::string caption(const std::optional<ResultScore>& score, int ResultScore::*number,
                    const char* design_text) {
    return score ? std::to_string((*score).*number) : design_text;
}

}  // namespace

void append_trace_line(std::string& out, int period, bool ticked, const Session& s,
                       const std::vector<DrawOp>* draws) {
    const GameWorld& w = s.world;
    const Controls& c = s.controls;
    out += '{';
    field(out, "period", period);
    field(out, "ticked", ticked);
    field(out, "tmr", c.battle_timer_running);
    field(out, "tag", std::string_view(c.next_level_requested ? "1" : "0"));
    field(out, "winlose_visible", c.result_window_open);
    field(out, "help_visible", c.help_window_open);
    field(out, "label3", std::string_view(caption(c.result_score, &ResultScore::wins, "Label3")));
    field(out, "label4", std::string_view(caption(c.result_score, &ResultScore::losses, "Label4")));
    field(out, "randoms", s.random.served);
    field(out, "tank_x", w.tank_x);
    field(out, "tank_y", w.tank_y);
    field(out, "tank_dir", w.tank_dir);
    field(out, "turret_dir", w.turret_dir);
    field(out, "tank_hp", w.tank_hp);
    field(out, "tank_speed", w.tank_speed);
    field(out, "tank_target", w.tank_target);
    field(out, "shell_x", w.shell_x);
    field(out, "shell_y", w.shell_y);
    field(out, "shell_dir", w.shell_dir);
    field(out, "shell_state", w.shell_state);
    field(out, "cur_tank", w.cur_tank);
    field(out, "scan_idx", w.scan_idx);
    field(out, "burst_idx", w.burst_idx);
    field(out, "alive_count", w.alive_count);
    field(out, "last_alive_speed", w.last_alive_speed);
    field(out, "turret_delta", w.turret_delta);
    field(out, "hull_delta", w.hull_delta);
    field(out, "aim_angle", w.aim_angle);
    field(out, "aim_dist", w.aim_dist);
    field(out, "fire_held", w.fire_held);
    field(out, "mouse_x", w.mouse_x);
    field(out, "mouse_y", w.mouse_y);
    field(out, "level", w.level);
    field(out, "wins", w.wins);
    field(out, "losses", w.losses);
    field(out, "key_up", w.key_up);
    field(out, "key_down", w.key_down);
    field(out, "key_right", w.key_right);
    field(out, "key_left", w.key_left);
    if (draws != nullptr) field(out, "draws", *draws);
    out += '}';
}

void append_cue_lines(std::string& out, int period, const Cues& cues) {
    for (const Cue& cue : cues) {
        append_number(out, period);
        out += ' ';
        out += CUE_NAMES[static_cast<std::size_t>(cue.kind)];
        out += ' ';
        append_number(out, cue.x);
        out += ' ';
        append_number(out, cue.y);
        out += '\n';
    }
}

void append_sound_lines(std::string& out) {
    constexpr const char* NAMES[SOUND_COUNT] = {"player_shot", "enemy_shot", "burst",
                                                "hit",         "destroyed",  "player_destroyed",
                                                "level_won",   "level_lost", "engine"};
    const SoundBank sounds = render_sounds();
    for (std::size_t i = 0; i < SOUND_COUNT; ++i) {
        std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a over each sample's bits
        for (const float sample : sounds[i])
            hash = (hash ^ bits_as<std::uint32_t>(sample)) * 0x100000001b3ULL;
        char digits[17];
        std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
        out += std::string(NAMES[i]) + " " + std::to_string(sounds[i].size()) + " " + digits + "\n";
    }
}
