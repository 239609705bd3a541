// The battle's readers: every bad file or link, whatever is wrong with it,
// is refused with one line naming it, the line or byte, and what is wrong.
#include "record/battle_link.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "tools/headless.h"

namespace {

constexpr const char* HEADER = "quenmar-battle 1\ngame 0.1.0\nsize 723 651\nrandom clock 5\n";

TEST(BattleFile, each_bad_file_gets_one_line_naming_its_line_and_what_is_wrong) {
    const std::string header(HEADER);
    const struct {
        std::string content;
        const char* says;
    } rows[] = {
        {"", ":1: empty, not a Quenmar battle file"},
        {"quenmar-battle 2\n", ":1: a battle file of version 2; this game reads version 1"},
        {"quenmar-battle 0\n", ":1: a battle file of version 0; this game reads version 1"},
        {"\x7f\x45LF\x02\x01\n", ":1: control character 127 in a text line"},
        {"<html><body>junk</body></html>\n",
         ":1: not a Quenmar battle file (its first line is not 'quenmar-battle 1')"},
        {"quenmar-battle 1\ngame 0.1.0\n", ":3: the file ends inside its header: it is truncated"},
        {"quenmar-battle 1\ngame 0.1.0\nsize 0 651\nrandom clock 5\n",
         ":3: width '0' does not fit 1..4096"},
        {"quenmar-battle 1\ngame 0.1.0\nsize 723 651\nrandom clock 4294967296\n",
         ":4: seed '4294967296' does not fit 0..4294967295"},
        {header + "400 check 00ff", ":5: the line is cut short: the file is truncated"},
        {header + "400 check 00ff\n", ":5: check '00ff' is not 16 hexadecimal digits"},
        {header + "3 key_down 38\n2 key_up 38\n", ":6: period 2 comes after period 3"},
        {header + "1 end\n2 key_up 38\n", ":6: a line after the end line"},
        {header + "1 mouse_move 0 1e999 3\n", ":5: x '1e999' is not a finite number"},
        {header + "1 shown 2\n", ":5: shown '2' does not fit 0..1"},
        {header + "99999999999 key_up 38\n", ":5: period '99999999999' does not fit 1..1000000000"},
        {header + "1 key_down " + std::string(2000, '9') + "\n",
         ":5: line longer than 1000 characters"},
        {header + "1 jump 3\n", ":5: unknown event 'jump'"},
        {"quenmar-battle 1\ngame 0.1.0\nsize 723 651\nrandom seed 5\n1 seed 7\n",
         ":5: a seed in a battle of one random sequence"},
    };
    for (const auto& row : rows) {
        std::istringstream in(row.content);
        try {
            parse_battle_file(in, "bad.battle");
            ADD_FAILURE() << "read: " << row.says;
        } catch (const InputError& e) {
            EXPECT_EQ(e.what(), "bad.battle" + std::string(row.says));
        }
    }
}

// The first bytes of a link: its form and version, the game's, the field
// 723 x 651, and a battle reseeded from the clock (1) or of one sequence (0).
std::string link_head(char reseeds = 1, const std::string& field = "\xd3\x05\x8b\x05") {
    return std::string(
               "QB\x01\x05"
               "0.1.0") +
           field + reseeds + std::string("\x05\0\0\0", 4);
}

// A link of these streams: its records, the pointer's x and y, and what the
// records carry (each shorter than 128 bytes).
std::string link(const std::string& head, const std::string& records, const std::string& x = "",
                 const std::string& y = "", const std::string& carried = "") {
    return head + static_cast<char>(records.size()) + static_cast<char>(x.size()) +
           static_cast<char>(y.size()) + records + x + y + carried;
}

TEST(BattleLink, each_damaged_link_gets_one_line_naming_its_byte_and_what_is_wrong) {
    const std::string head = link_head(), zero(1, '\0');
    const struct {
        std::string bytes;
        const char* says;
    } rows[] = {
        {"QB\x02", ": byte 3: a battle link of version 2; this game reads version 1"},
        {head.substr(0, 10), ": byte 11: the link is cut short"},
        {link_head(1, std::string("\x00\x8b\x05", 3)), ": byte 12: the field has no area"},
        {link(head, zero, zero, zero), ": byte 22: period 0 does not fit 1..1000000000"},
        {link(head, "\xf9"), ": byte 22: unknown record kind 31"},
        {link(head, "\x01", "\x80\xf1\x04", zero),
         ": byte 22: the pointer leaves the 16-bit range"},
        {link(head, "\xd9\x01"), ": byte 23: a record after the end"},
        {link(head, "\x7f", "", "", "\x80\x80\x80\x80\x80\x80\x80\x80\x80\x01"),
         ": byte 23: the periods between two records is too long a number"},
        {link(head, "\x79", "", "", std::string("\x00\x00\xc0\x7f\x00\x00\x00\x00", 8)),
         ": byte 23: x is not a finite number"},
        {link(link_head(0), "\xc9", "", "", "\x01\x02\x03\x04"),
         ": byte 22: a seed in a battle of one random sequence"},
        {head + "\x05" + zero + zero + "\x09",
         ": byte 22: the records' stream runs past the link's end"},
        {link(head, "\x09", "\x02"), ": byte 23: bytes that no record reads"},
        {"\x1f\x8b\x08\n", ":1: control character 31 in a text line"},  // neither form
    };
    for (const auto& row : rows) {
        try {
            read_battle(row.bytes, "link");
            ADD_FAILURE() << "read: " << row.says;
        } catch (const InputError& e) {
            EXPECT_EQ(e.what(), "link" + std::string(row.says));
        }
    }
}

// Random battles of every kind of record, the pointer at fractions of a unit
// and far off the field, hidden now and then, some ending in a pointer move
// and "Quit" in one period: through the link and back, the same battle,
// period by period.
TEST(BattleLink, a_battle_through_its_link_is_the_same_battle_every_period) {
    std::mt19937 engine(11);
    const auto number = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(engine);
    };
    const auto coordinate = [&] { return static_cast<float>(number(-400, 4000)) / 4 + 0.5f; };
    for (int battle = 0; battle < 6; ++battle) {
        HeadlessBattle b(random_from_seed(static_cast<std::uint32_t>(battle)), DESIGN_WIDTH,
                         DESIGN_HEIGHT, Kept::Yes);
        for (int period = 1; period <= 800; ++period) {
            for (int n = number(0, 3); n > 0; --n) {
                const auto kind = static_cast<InputKind>(number(0, 8));
                InputEvent e{.kind = kind, .x = coordinate(), .y = coordinate()};
                e.key = static_cast<KeyCode>(number(0, 4) == 4 ? 112 : number(37, 40));
                e.character =
                    std::array{CharCode::Esc, CharCode::LowerP, CharCode::Enter}[number(0, 2)];
                e.mouse = static_cast<MouseButton>(1 << number(0, 2));
                e.button = static_cast<SmallButton>(number(1, 3));
                e.width = number(1, 900);
                e.height = number(1, 900);
                if (kind != InputKind::Click || number(0, 9) == 0) match_take(b.match, e);
            }
            if (period == 800 && battle % 2 == 1) {
                match_take(b.match, {.kind = InputKind::MouseMove, .x = 10.5f, .y = 11.5f});
                match_take(b.match, {.kind = InputKind::Click, .button = SmallButton::Quit});
            }
            match_run_period(b.match, number(0, 20) != 0);
        }
        match_end_battle(b.match);
        const BattleFile file = read_battle(match_battle(b.match), "file");
        Replay kept, linked;
        Session as_kept, as_linked;
        replay_start(kept, as_kept, file);
        replay_start(linked, as_linked, read_battle(battle_link(file), "link"));
        while (kept.state == ReplayState::Running) {
            replay_period(kept, as_kept);
            replay_period(linked, as_linked);
            ASSERT_EQ(world_hash(as_linked), world_hash(as_kept))
                << "battle " << battle << ", period " << as_kept.periods;
        }
        EXPECT_EQ(linked.state, ReplayState::Over);
    }
}

}  // namespace
