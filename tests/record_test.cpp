// The battle file's reader: every bad file, whatever is wrong with it, is
// refused with one line naming the file, the line and what is wrong.
#include "record/battle_file.h"

#include <gtest/gtest.h>

#include <sstream>

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
        {"<html><body>junk</body></html>\n", ":1: not a Quenmar battle file (its first line is not 'quenmar-battle 1')"},
        {"quenmar-battle 1\ngame 0.1.0\n", ":3: the file ends inside its header: it is truncated"},
        {"quenmar-battle 1\ngame 0.1.0\nsize 0 651\nrandom clock 5\n", ":3: width '0' does not fit 1..4096"},
        {"quenmar-battle 1\ngame 0.1.0\nsize 723 651\nrandom clock 4294967296\n",
         ":4: seed '4294967296' does not fit 0..4294967295"},
        {header + "400 check 00ff", ":5: the line is cut short: the file is truncated"},
        {header + "400 check 00ff\n", ":5: check '00ff' is not 16 hexadecimal digits"},
        {header + "3 key_down 38\n2 key_up 38\n", ":6: period 2 comes after period 3"},
        {header + "1 end\n2 key_up 38\n", ":6: a line after the end line"},
        {header + "1 mouse_move 0 1e999 3\n", ":5: x '1e999' is not a finite number"},
        {header + "1 shown 2\n", ":5: shown '2' does not fit 0..1"},
        {header + "99999999999 key_up 38\n", ":5: period '99999999999' does not fit 1..1000000000"},
        {header + "1 key_down " + std::string(2000, '9') + "\n", ":5: line longer than 1000 characters"},
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

}  // namespace
