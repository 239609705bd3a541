#include "record/battle_file.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "base/number_text.h"

namespace {

constexpr std::size_t MAX_LINE_LENGTH = 1000;

struct Line {
    const std::string& file;
    int number;
    [[noreturn]] void refuse(const std::string& what) const {
        throw InputError(file + ":" + std::to_string(number), what);
    }
};

std::vector<std::string_view> fields_of(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(" \t\r", at);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(text.find_first_of(" \t\r", start), text.size());
        fields.push_back(text.substr(start, end - start));
        at = end;
    }
    return fields;
}

template <typename Int>
Int whole_number(const Line& line, std::string_view field, const char* what, long long low,
                 long long high) {
    long long value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error == std::errc::result_out_of_range ||
        (error == std::errc() && end == field.end() && (value < low || value > high))) {
        line.refuse(std::string(what) + " '" + std::string(field) + "' does not fit " +
                    std::to_string(low) + ".." + std::to_string(high));
    }
    if (error != std::errc() || end != field.end()) {
        line.refuse(std::string(what) + " '" + std::string(field) + "' is not a whole number");
    }
    return static_cast<Int>(value);
}

float coordinate(const Line& line, std::string_view field, const char* what) {
    float value = 0;
    if (!parse_number(field, value) || !std::isfinite(value)) {
        line.refuse(std::string(what) + " '" + std::string(field) + "' is not a finite number");
    }
    return value;
}

std::int16_t code16(const Line& line, std::string_view field, const char* what) {
    return whole_number<std::int16_t>(line, field, what, std::numeric_limits<std::int16_t>::min(),
                                      std::numeric_limits<std::int16_t>::max());
}

using Kind = InputKind;

struct EventName {
    std::string_view name;
    Kind kind;
    std::size_t fields;  // arguments after the event name
};

constexpr EventName EVENT_NAMES[] = {
    {"key_down", Kind::KeyDown, 1},
    {"key_up", Kind::KeyUp, 1},
    {"key_press", Kind::KeyPress, 1},
    {"mouse_down", Kind::MouseDown, 3},
    {"mouse_move", Kind::MouseMove, 3},
    {"mouse_up", Kind::MouseUp, 3},
    {"click", Kind::Click, 1},
    {"resize", Kind::Resize, 2},
    {"keyboard_lost", Kind::KeyboardLost, 0},
};

SmallButton click_button(const Line& line, std::string_view button) {
    if (const std::optional<SmallButton> named = small_button_named(button)) return *named;
    line.refuse("unknown button '" + std::string(button) + "' (quit, back, next_level or close)");
}

InputEvent parse_event(const Line& line, const std::vector<std::string_view>& f) {
    InputEvent event;
    const EventName* name = nullptr;
    for (const EventName& candidate : EVENT_NAMES) {
        if (f.size() > 1 && f[1] == candidate.name) name = &candidate;
    }
    if (f.size() < 2 || name == nullptr) {
        line.refuse("unknown event '" + std::string(f.size() > 1 ? f[1] : "") + "'");
    }
    if (f.size() != 2 + name->fields) {
        line.refuse(std::string(name->name) + " takes " + std::to_string(name->fields) +
                    " argument(s), found " + std::to_string(f.size() - 2));
    }
    event.kind = name->kind;
    switch (name->kind) {
        case Kind::MouseDown:
        case Kind::MouseMove:
        case Kind::MouseUp:
            event.mouse = static_cast<MouseButton>(code16(line, f[2], "button"));
            event.x = coordinate(line, f[3], "x");
            event.y = coordinate(line, f[4], "y");
            break;
        case Kind::Click:
            event.button = click_button(line, f[2]);
            break;
        case Kind::Resize:
            event.width = whole_number<int>(line, f[2], "width", 0, MAX_AREA_SIDE);
            event.height = whole_number<int>(line, f[3], "height", 0, MAX_AREA_SIDE);
            break;
        case Kind::KeyPress:
            event.character = static_cast<CharCode>(code16(line, f[2], "code"));
            break;
        case Kind::KeyboardLost:
            break;
        default:
            event.key = static_cast<KeyCode>(code16(line, f[2], "code"));
            break;
    }
    return event;
}

// Every line of a text file, refusing binary junk and overlong lines, and
// with `whole_lines` a last line cut short of its newline.
template <typename Handle>
void for_each_line(std::istream& in, const std::string& file_name, Handle handle,
                   bool whole_lines = false) {
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        const Line line{file_name, ++number};
        if (whole_lines && in.eof()) line.refuse("the line is cut short: the file is truncated");
        if (text.size() > MAX_LINE_LENGTH) {
            line.refuse("line longer than " + std::to_string(MAX_LINE_LENGTH) + " characters");
        }
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if ((byte < 0x20 && c != '\t' && c != '\r') || byte == 0x7F) {
                line.refuse("control character " + std::to_string(byte) + " in a text line");
            }
        }
        handle(line, std::string_view(text));
    }
    if (in.bad()) throw InputError(file_name, "cannot be read");
}

}  // namespace

std::vector<ScriptEvent> parse_script(std::istream& in, const std::string& file_name,
                                      int last_period) {
    std::vector<ScriptEvent> events;
    for_each_line(in, file_name, [&](const Line& line, std::string_view text) {
        const auto f = fields_of(text);
        if (f.empty() || f[0].front() == '#') return;
        const int period = whole_number<int>(line, f[0], "period", 1, last_period);
        if (!events.empty() && period < events.back().period) {
            line.refuse("period " + std::to_string(period) + " comes after period " +
                        std::to_string(events.back().period));
        }
        events.push_back({period, parse_event(line, f)});
    });
    return events;
}

std::vector<float> parse_randoms(std::istream& in, const std::string& file_name) {
    std::vector<float> numbers;
    for_each_line(in, file_name, [&](const Line& line, std::string_view text) {
        const auto f = fields_of(text);
        if (f.size() != 1) line.refuse("expected one number, found " + std::to_string(f.size()));
        float r = 0;
        if (!parse_number(f[0], r)) {
            line.refuse("'" + std::string(f[0]) + "' is not a number");
        }
        if (!(r >= 0 && r < 1)) {
            line.refuse("'" + std::string(f[0]) + "' is not within 0 <= r < 1 as a single");
        }
        numbers.push_back(r);
    });
    if (numbers.empty()) throw InputError(file_name, "holds no numbers");
    return numbers;
}

namespace {

constexpr std::string_view FORMAT_NAME = "quenmar-battle";
constexpr int HASH_DIGITS = 16;

// The header's lines in their order; each is known by its first word.
void read_header_line(const Line& line, const std::vector<std::string_view>& f, BattleFile& b) {
    const auto expect = [&](std::string_view word, std::size_t fields, const char* form) {
        if (f.empty() || f[0] != word || f.size() != fields) {
            line.refuse(std::string("expected '") + form + "'");
        }
    };
    switch (line.number) {
        case 1:
            if (f.size() == 2 && f[0] == FORMAT_NAME) {
                const int version = whole_number<int>(line, f[1], "format version", 0, 1'000'000);
                if (version != BATTLE_FILE_VERSION) {
                    line.refuse("a battle file of version " + std::to_string(version) +
                                "; this game reads version " + std::to_string(BATTLE_FILE_VERSION));
                }
                return;
            }
            line.refuse("not a Quenmar battle file (its first line is not 'quenmar-battle " +
                        std::to_string(BATTLE_FILE_VERSION) + "')");
        case 2:
            expect("game", 2, "game VERSION");
            if (f[1].size() > LONGEST_GAME_VERSION) line.refuse("the game's version is too long");
            b.game_version = f[1];
            return;
        case 3:
            expect("size", 3, "size WIDTH HEIGHT");
            b.width = whole_number<int>(line, f[1], "width", 1, MAX_AREA_SIDE);
            b.height = whole_number<int>(line, f[2], "height", 1, MAX_AREA_SIDE);
            return;
        default:
            expect("random", 3, "random clock|seed SEED");
            if (f[1] != "clock" && f[1] != "seed")
                line.refuse("expected 'random clock' or 'random seed'");
            b.reseeds = f[1] == "clock";
            b.first_seed = whole_number<std::uint32_t>(line, f[2], "seed", 0, UINT32_MAX);
    }
}

std::uint64_t hash_of(const Line& line, std::string_view field) {
    std::uint64_t hash = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), hash, 16);
    const bool lower_hex = field.find_first_not_of("0123456789abcdef") == std::string_view::npos;
    if (field.size() != HASH_DIGITS || !lower_hex || error != std::errc() || end != field.end()) {
        line.refuse("check '" + std::string(field) + "' is not 16 hexadecimal digits");
    }
    return hash;
}

void read_body_line(const Line& line, const std::vector<std::string_view>& f, BattleFile& b) {
    if (b.ended) line.refuse("a line after the end line");
    const int period = whole_number<int>(line, f[0], "period", 1, MAX_PERIODS);
    if (period < b.last_period) {
        line.refuse("period " + std::to_string(period) + " comes after period " +
                    std::to_string(b.last_period));
    }
    b.last_period = period;
    const std::string_view word = f.size() > 1 ? f[1] : "";
    const auto arguments = [&](std::size_t n) {
        if (f.size() != 2 + n) {
            line.refuse(std::string(word) + " takes " + std::to_string(n) + " argument(s), found " +
                        std::to_string(f.size() - 2));
        }
    };
    if (word == "seed") {
        arguments(1);
        if (!b.reseeds) line.refuse("a seed in a battle of one random sequence");
        b.seeds.push_back({period, whole_number<std::uint32_t>(line, f[2], "seed", 0, UINT32_MAX)});
    } else if (word == "shown") {
        arguments(1);
        b.shown_changes.push_back({period, whole_number<int>(line, f[2], "shown", 0, 1) == 1});
    } else if (word == "check") {
        arguments(1);
        b.checkpoints.push_back({period, hash_of(line, f[2])});
    } else if (word == "end") {
        arguments(0);
        b.ended = true;
    } else {
        b.events.push_back({period, parse_event(line, f)});
    }
}

std::string with_period(int period, std::string_view rest) {
    return std::to_string(period) + " " + std::string(rest) + "\n";
}

}  // namespace

BattleFile parse_battle_file(std::istream& in, const std::string& file_name) {
    constexpr int HEADER_LINES = 4;
    BattleFile b;
    b.name = file_name;
    int lines = 0;
    for_each_line(
        in, file_name,
        [&](const Line& line, std::string_view text) {
            lines = line.number;
            const auto f = fields_of(text);
            if (line.number <= HEADER_LINES) {
                read_header_line(line, f, b);
            } else if (!f.empty() && f[0].front() != '#') {
                read_body_line(line, f, b);
            }
        },
        true);
    if (lines < HEADER_LINES) {
        const Line line{file_name, lines + 1};
        line.refuse(lines == 0 ? "empty, not a Quenmar battle file"
                               : "the file ends inside its header: it is truncated");
    }
    return b;
}

std::string battle_file_header(const std::string& game_version, int width, int height, bool reseeds,
                               std::uint32_t first_seed) {
    return std::string(FORMAT_NAME) + " " + std::to_string(BATTLE_FILE_VERSION) + "\ngame " +
           game_version + "\nsize " + std::to_string(width) + " " + std::to_string(height) +
           "\nrandom " + (reseeds ? "clock " : "seed ") + std::to_string(first_seed) + "\n";
}

std::string event_line(int period, const InputEvent& e) {
    std::string out = std::to_string(period) + " ";
    for (const EventName& name : EVENT_NAMES) {
        if (name.kind == e.kind) out += name.name;
    }
    const auto put = [&](auto value) {
        out += ' ';
        append_number(out, value);
    };
    switch (e.kind) {
        case Kind::MouseDown:
        case Kind::MouseMove:
        case Kind::MouseUp:
            put(static_cast<int>(e.mouse));
            put(e.x);
            put(e.y);
            break;
        case Kind::Click:
            out += ' ';
            out += SMALL_BUTTON_NAMES[static_cast<std::size_t>(e.button)];
            break;
        case Kind::Resize:
            put(e.width);
            put(e.height);
            break;
        case Kind::KeyPress:
            put(static_cast<int>(e.character));
            break;
        case Kind::KeyboardLost:
            break;
        default:
            put(static_cast<int>(e.key));
            break;
    }
    return out + "\n";
}

std::string_view whole_lines(std::string_view bytes) {
    const std::size_t last = bytes.rfind('\n');
    return last == std::string_view::npos ? std::string_view() : bytes.substr(0, last + 1);
}

std::string battle_file_text(const BattleFile& b, int last_period) {
    std::string text =
        battle_file_header(b.game_version, b.width, b.height, b.reseeds, b.first_seed);
    std::size_t event = 0, seed = 0, shown = 0, check = 0;
    const auto up_to = [&](const auto& lines, std::size_t at, int period) {
        return at < lines.size() && lines[at].period <= period;
    };
    for (int period = 1; period <= last_period; ++period) {
        for (; up_to(b.shown_changes, shown, period); ++shown)
            text += shown_line(period, b.shown_changes[shown].shown);
        for (; up_to(b.events, event, period); ++event)
            text += event_line(period, b.events[event].event);
        for (; up_to(b.seeds, seed, period); ++seed)
            text += seed_line(period, b.seeds[seed].seed);
        for (; up_to(b.checkpoints, check, period); ++check)
            text += check_line(period, b.checkpoints[check].hash);
    }
    return text;
}

std::string seed_line(int period, std::uint32_t seed) {
    return with_period(period, "seed " + std::to_string(seed));
}

std::string shown_line(int period, bool shown) {
    return with_period(period, shown ? "shown 1" : "shown 0");
}

std::string check_line(int period, std::uint64_t hash) {
    char digits[HASH_DIGITS + 1];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return with_period(period, std::string("check ") + digits);
}

std::string end_line(int period) {
    return with_period(period, "end");
}
