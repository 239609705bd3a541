#include "record/battle_link.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>

#include "base/bits.h"
#include "base/seven_bit.h"

namespace {

constexpr std::string_view MAGIC = "QB";
constexpr int GAP_BITS = 3;
constexpr int GAP_FOLLOWS = (1 << GAP_BITS) - 1;  // the gap is a whole number after the byte

// The kinds of record, in the order of their codes.
enum class Kind : std::uint8_t {
    Pointer,
    DownLeft,
    DownUp,
    DownRight,
    DownDown,
    DownF1,
    UpLeft,
    UpUp,
    UpRight,
    UpDown,
    Enter,
    Esc,
    Pause,
    PressLeft,
    ReleaseLeft,
    ReleaseRight,
    ReleaseOther,
    Quit,
    Back,
    NextLevel,
    Close,
    Resize,
    KeyboardLost,
    Hidden,
    Shown,
    Seed,
    Check,
    End,
    Count
};

constexpr KeyCode ARROWS[] = {KeyCode::Left, KeyCode::Up, KeyCode::Right, KeyCode::Down};

Kind offset(Kind first, std::size_t by) {
    return static_cast<Kind>(static_cast<std::size_t>(first) + by);
}

// One of the link's streams, as it is written.
struct Stream {
    std::string out;

    void whole(std::uint64_t n) {
        for (; n >= 0x80; n >>= 7)
            out += static_cast<char>(n | 0x80);
        out += static_cast<char>(n);
    }
    void signed_whole(std::int64_t n) {
        whole(n < 0 ? (static_cast<std::uint64_t>(-(n + 1)) << 1) | 1
                    : static_cast<std::uint64_t>(n) << 1);
    }
    void bytes(std::uint64_t n, int count) {
        for (int i = 0; i < count; ++i)
            out += static_cast<char>(n >> (8 * i));
    }
};

struct Writer {
    Stream records, x, y, payload;
    int period = 0;
    int pointer_x = 0, pointer_y = 0;

    void record(int at, Kind kind) {
        const int gap = at - period;
        period = at;
        records.out +=
            static_cast<char>(static_cast<int>(kind) << GAP_BITS | std::min(gap, GAP_FOLLOWS));
        if (gap >= GAP_FOLLOWS) payload.whole(static_cast<std::uint64_t>(gap - GAP_FOLLOWS));
    }
};

// The pointer position the battle keeps of a record: whole units, as the
// mouse handler rounds and holds them.
int units(float v) {
    return static_cast<int>(std::clamp(std::nearbyint(static_cast<double>(v)), -32768.0, 32767.0));
}

// An input record as the battle takes it; none for one it ignores.
void write_event(Writer& w, int period, const InputEvent& e) {
    const auto arrow = [&](Kind first) {
        for (std::size_t i = 0; i < std::size(ARROWS); ++i) {
            if (e.key == ARROWS[i]) w.record(period, offset(first, i));
        }
    };
    switch (e.kind) {
        case InputKind::KeyDown:
            arrow(Kind::DownLeft);
            if (e.key == KeyCode::F1) w.record(period, Kind::DownF1);
            break;
        case InputKind::KeyUp:
            arrow(Kind::UpLeft);
            break;
        case InputKind::KeyPress:
            if (e.character == CharCode::Enter) w.record(period, Kind::Enter);
            if (e.character == CharCode::Esc) w.record(period, Kind::Esc);
            if (e.character == CharCode::LowerP || e.character == CharCode::UpperP)
                w.record(period, Kind::Pause);
            break;
        case InputKind::MouseMove: {
            const int x = units(e.x), y = units(e.y);
            w.record(period, Kind::Pointer);
            w.x.signed_whole(x - w.pointer_x);
            w.y.signed_whole(y - w.pointer_y);
            w.pointer_x = x;
            w.pointer_y = y;
            break;
        }
        case InputKind::MouseDown:
            if (e.mouse == MouseButton::Left) w.record(period, Kind::PressLeft);
            break;
        case InputKind::MouseUp:
            if (e.mouse == MouseButton::Left) {
                w.record(period, Kind::ReleaseLeft);
            } else if (e.mouse == MouseButton::Right) {
                w.record(period, Kind::ReleaseRight);
                w.payload.bytes(bits_as<std::uint32_t>(e.x), 4);
                w.payload.bytes(bits_as<std::uint32_t>(e.y), 4);
            } else {
                w.record(period, Kind::ReleaseOther);
            }
            break;
        case InputKind::Click:
            w.record(period, offset(Kind::Quit, static_cast<std::size_t>(e.button)));
            break;
        case InputKind::Resize:
            w.record(period, Kind::Resize);
            w.payload.whole(static_cast<std::uint64_t>(e.width));
            w.payload.whole(static_cast<std::uint64_t>(e.height));
            break;
        case InputKind::KeyboardLost:
            w.record(period, Kind::KeyboardLost);
            break;
    }
}

// Of a period's pointer moves the battle keeps the last: an earlier one
// counts only where "Quit" comes between, after which nothing is delivered.
bool superseded(const std::vector<ScriptEvent>& events, std::size_t i) {
    for (std::size_t j = i + 1; j < events.size() && events[j].period == events[i].period; ++j) {
        const InputEvent& e = events[j].event;
        if (e.kind == InputKind::Click && e.button == SmallButton::Quit) return false;
        if (e.kind == InputKind::MouseMove) return true;
    }
    return false;
}

// One of the link's streams, as it is read: its bytes, and where they
// start in the link, for messages.
struct Reader {
    std::string_view in;
    const std::string& name;
    std::size_t base = 0;
    std::size_t at = 0;

    bool done() const { return at == in.size(); }
    [[noreturn]] void refuse(const std::string& what, std::size_t where) const {
        throw InputError(name + ": byte " + std::to_string(base + where + 1), what);
    }
    std::uint8_t byte() {
        if (at >= in.size()) refuse("the link is cut short", at);
        return static_cast<std::uint8_t>(in[at++]);
    }
    std::uint64_t whole(std::uint64_t highest, const char* what) {
        const std::size_t start = at;
        const std::optional<std::uint64_t> n =
            read_seven_bit(std::span<const char>(in.data(), in.size()), at);
        if (!n && at == in.size()) refuse("the link is cut short", at);
        if (!n) refuse(std::string(what) + " is too long a number", start);
        if (*n > highest) {
            refuse(std::string(what) + " " + std::to_string(*n) + " does not fit 0.." +
                       std::to_string(highest),
                   start);
        }
        return *n;
    }
    std::int64_t signed_whole(const char* what) {
        const std::uint64_t n = whole(UINT32_MAX, what);
        return (n & 1) ? -static_cast<std::int64_t>(n >> 1) - 1 : static_cast<std::int64_t>(n >> 1);
    }
    std::uint64_t bytes(int count) {
        std::uint64_t n = 0;
        for (int i = 0; i < count; ++i)
            n |= static_cast<std::uint64_t>(byte()) << (8 * i);
        return n;
    }
    float single(const char* what) {
        const std::size_t start = at;
        const auto v = bits_as<float>(static_cast<std::uint32_t>(bytes(4)));
        if (!std::isfinite(v)) refuse(std::string(what) + " is not a finite number", start);
        return v;
    }
    // The next `size` bytes as a stream of their own.
    Reader stream(std::size_t size, const char* what) {
        if (size > in.size() - at) refuse(std::string(what) + " runs past the link's end", at);
        Reader part{in.substr(at, size), name, base + at};
        at += size;
        return part;
    }
};

// The streams of records and what they carry, as read.
struct Streams {
    Reader records, x, y, payload;
};

void read_header(Reader& r, BattleFile& b) {
    if (r.byte() != MAGIC[0] || r.byte() != MAGIC[1]) r.refuse("not a Quenmar battle link", 0);
    const int version = r.byte();
    if (version != BATTLE_LINK_VERSION) {
        r.refuse("a battle link of version " + std::to_string(version) +
                     "; this game reads version " + std::to_string(BATTLE_LINK_VERSION),
                 2);
    }
    const std::size_t length = r.byte();
    if (length > LONGEST_GAME_VERSION) r.refuse("the game's version is too long", r.at - 1);
    for (std::size_t i = 0; i < length; ++i) {
        const char c = static_cast<char>(r.byte());
        if (c <= ' ' || c > '~') r.refuse("the game's version is not text", r.at - 1);
        b.game_version += c;
    }
    b.width = static_cast<int>(r.whole(MAX_AREA_SIDE, "width"));
    b.height = static_cast<int>(r.whole(MAX_AREA_SIDE, "height"));
    if (b.width == 0 || b.height == 0) r.refuse("the field has no area", r.at - 1);
    const std::uint8_t reseeds = r.byte();
    if (reseeds > 1) r.refuse("the random sequence is neither 0 nor 1", r.at - 1);
    b.reseeds = reseeds == 1;
    b.first_seed = static_cast<std::uint32_t>(r.bytes(4));
}

InputEvent key(InputKind kind, KeyCode code) {
    return {.kind = kind, .key = code};
}

void read_record(Streams& s, BattleFile& b, int& pointer_x, int& pointer_y) {
    Reader& r = s.payload;
    const std::size_t start = s.records.at;
    const std::uint8_t head = s.records.byte();
    if (b.ended) s.records.refuse("a record after the end", start);
    const auto kind = static_cast<Kind>(head >> GAP_BITS);
    if (kind >= Kind::Count)
        s.records.refuse("unknown record kind " + std::to_string(head >> GAP_BITS), start);
    std::uint64_t gap = head & GAP_FOLLOWS;
    if (gap == GAP_FOLLOWS) gap += r.whole(MAX_PERIODS, "the periods between two records");
    const std::uint64_t period = static_cast<std::uint64_t>(b.last_period) + gap;
    if (period < 1 || period > MAX_PERIODS) {
        s.records.refuse(
            "period " + std::to_string(period) + " does not fit 1.." + std::to_string(MAX_PERIODS),
            start);
    }
    const int p = static_cast<int>(period);
    b.last_period = p;
    const auto add_record = [&](InputEvent e) { b.events.push_back({p, e}); };
    const auto k = static_cast<std::size_t>(kind);
    if (kind == Kind::Pointer) {
        const std::int64_t x = pointer_x + s.x.signed_whole("the pointer's change");
        const std::int64_t y = pointer_y + s.y.signed_whole("the pointer's change");
        if (x < INT16_MIN || x > INT16_MAX || y < INT16_MIN || y > INT16_MAX) {
            s.records.refuse("the pointer leaves the 16-bit range", start);
        }
        pointer_x = static_cast<int>(x);
        pointer_y = static_cast<int>(y);
        add_record(
            {.kind = InputKind::MouseMove, .x = static_cast<float>(x), .y = static_cast<float>(y)});
    } else if (kind >= Kind::DownLeft && kind <= Kind::DownDown) {
        add_record(key(InputKind::KeyDown, ARROWS[k - static_cast<std::size_t>(Kind::DownLeft)]));
    } else if (kind == Kind::DownF1) {
        add_record(key(InputKind::KeyDown, KeyCode::F1));
    } else if (kind >= Kind::UpLeft && kind <= Kind::UpDown) {
        add_record(key(InputKind::KeyUp, ARROWS[k - static_cast<std::size_t>(Kind::UpLeft)]));
    } else if (kind >= Kind::Enter && kind <= Kind::Pause) {
        constexpr CharCode PRESSED[] = {CharCode::Enter, CharCode::Esc, CharCode::LowerP};
        add_record({.kind = InputKind::KeyPress,
                    .character = PRESSED[k - static_cast<std::size_t>(Kind::Enter)]});
    } else if (kind == Kind::PressLeft) {
        add_record({.kind = InputKind::MouseDown, .mouse = MouseButton::Left});
    } else if (kind == Kind::ReleaseLeft || kind == Kind::ReleaseOther) {
        add_record({.kind = InputKind::MouseUp,
                    .mouse = kind == Kind::ReleaseLeft ? MouseButton::Left : MouseButton::Middle});
    } else if (kind == Kind::ReleaseRight) {
        const float x = r.single("x");
        add_record(
            {.kind = InputKind::MouseUp, .mouse = MouseButton::Right, .x = x, .y = r.single("y")});
    } else if (kind >= Kind::Quit && kind <= Kind::Close) {
        add_record({.kind = InputKind::Click,
                    .button = static_cast<SmallButton>(k - static_cast<std::size_t>(Kind::Quit))});
    } else if (kind == Kind::Resize) {
        const int width = static_cast<int>(r.whole(MAX_AREA_SIDE, "width"));
        add_record({.kind = InputKind::Resize,
                    .width = width,
                    .height = static_cast<int>(r.whole(MAX_AREA_SIDE, "height"))});
    } else if (kind == Kind::KeyboardLost) {
        add_record({.kind = InputKind::KeyboardLost});
    } else if (kind == Kind::Hidden || kind == Kind::Shown) {
        b.shown_changes.push_back({p, kind == Kind::Shown});
    } else if (kind == Kind::Seed) {
        if (!b.reseeds) s.records.refuse("a seed in a battle of one random sequence", start);
        b.seeds.push_back({p, static_cast<std::uint32_t>(r.bytes(4))});
    } else if (kind == Kind::Check) {
        b.checkpoints.push_back({p, r.bytes(8)});
    } else {
        b.ended = true;
    }
}

}  // namespace

std::string battle_link(const BattleFile& b) {
    Writer w;
    std::size_t event = 0, seed = 0, shown = 0, check = 0;
    // Period by period, as the battle file has them: shown, input, seeds, check, end.
    for (int period = 1; period <= b.last_period; ++period) {
        for (; shown < b.shown_changes.size() && b.shown_changes[shown].period == period; ++shown)
            w.record(period, b.shown_changes[shown].shown ? Kind::Shown : Kind::Hidden);
        for (; event < b.events.size() && b.events[event].period == period; ++event) {
            if (b.events[event].event.kind != InputKind::MouseMove || !superseded(b.events, event))
                write_event(w, period, b.events[event].event);
        }
        for (; seed < b.seeds.size() && b.seeds[seed].period == period; ++seed) {
            w.record(period, Kind::Seed);
            w.payload.bytes(b.seeds[seed].seed, 4);
        }
        for (; check < b.checkpoints.size() && b.checkpoints[check].period == period; ++check) {
            w.record(period, Kind::Check);
            w.payload.bytes(b.checkpoints[check].hash, 8);
        }
        const int next = std::min(
            {event < b.events.size() ? b.events[event].period : b.last_period,
             seed < b.seeds.size() ? b.seeds[seed].period : b.last_period,
             shown < b.shown_changes.size() ? b.shown_changes[shown].period : b.last_period,
             check < b.checkpoints.size() ? b.checkpoints[check].period : b.last_period});
        period = std::max(period, next - 1);  // straight on to the next period with a line
    }
    if (b.ended) w.record(b.last_period, Kind::End);
    Stream link;
    link.out = std::string(MAGIC) + static_cast<char>(BATTLE_LINK_VERSION) +
               static_cast<char>(b.game_version.size()) + b.game_version;
    link.whole(static_cast<std::uint64_t>(b.width));
    link.whole(static_cast<std::uint64_t>(b.height));
    link.out += static_cast<char>(b.reseeds ? 1 : 0);
    link.bytes(b.first_seed, 4);
    for (const Stream* stream : {&w.records, &w.x, &w.y})
        link.whole(stream->out.size());
    return link.out + w.records.out + w.x.out + w.y.out + w.payload.out;
}

BattleFile read_battle(std::string_view bytes, const std::string& name, Reading reading) {
    if (bytes.size() > LONGEST_BATTLE) throw InputError(name, "too large for a battle");
    if (!bytes.starts_with(MAGIC)) {
        std::istringstream text{std::string(reading == Reading::Own ? whole_lines(bytes) : bytes)};
        return parse_battle_file(text, name);
    }
    BattleFile b;
    b.name = name;
    Reader r{bytes, name};
    read_header(r, b);
    const auto records = static_cast<std::size_t>(r.whole(LONGEST_BATTLE, "the records' length"));
    const auto x = static_cast<std::size_t>(r.whole(LONGEST_BATTLE, "the pointer's x length"));
    const auto y = static_cast<std::size_t>(r.whole(LONGEST_BATTLE, "the pointer's y length"));
    Streams s{r.stream(records, "the records' stream"), r.stream(x, "the pointer's x stream"),
              r.stream(y, "the pointer's y stream"), r.stream(bytes.size() - r.at, "")};
    int pointer_x = 0, pointer_y = 0;
    while (!s.records.done())
        read_record(s, b, pointer_x, pointer_y);
    for (const Reader* rest : {&s.x, &s.y, &s.payload}) {
        if (!rest->done()) rest->refuse("bytes that no record reads", rest->at);
    }
    return b;
}

std::string battle_bytes_from(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputError(path, "cannot be opened");
    std::string bytes;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > LONGEST_BATTLE) throw InputError(path, "too large for a battle");
    }
    if (in.bad()) throw InputError(path, "cannot be read");
    return bytes;
}

BattleFile read_battle_from(const std::string& path) {
    return read_battle(battle_bytes_from(path), path);
}
