#include "tools/sim_script.h"


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
    {"key_down", Kind::KeyDown, 1},     {"key_up", Kind::KeyUp, 1},
    {"key_press", Kind::KeyPress, 1},   {"mouse_down", Kind::MouseDown, 3},
    {"mouse_move", Kind::MouseMove, 3}, {"mouse_up", Kind::MouseUp, 3},
    {"click", Kind::Click, 1},          {"resize", Kind::Resize, 2},
};

SmallButton click_button(const Line& line, std::string_view button) {
    if (button == "quit") return SmallButton::Quit;
    if (button == "back") return SmallButton::Back;
    if (button == "next_level") return SmallButton::NextLevel;
    if (button == "close") return SmallButton::Close;
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
        default:
            event.key = static_cast<KeyCode>(code16(line, f[2], "code"));
            break;
    }
    return event;
}

// Every line of a text file, refusing binary junk and overlong lines.
template <typename Handle>
void for_each_line(std::istream& in, const std::string& file_name, Handle handle) {
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        const Line line{file_name, ++number};
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
