// The battle's text files, read and written here alone: the script of input
// records (quenmar-sim --input), the list of random numbers (--random), and
// the battle file, which keeps a whole battle in the script's language.
//
// A battle file, version 1:
//   quenmar-battle 1                first line: the format and its version
//   game 0.1.0                      the version of the game that fought it
//   size 723 651                    the drawing area at the start, in units
//   random clock 3141592653         the first seed; "clock": each level set-up
//                                   took a further seed, recorded where taken;
//                                   "seed": one sequence, never reseeded
//   PERIOD EVENT ARGS...            an input record, as in a script
//   PERIOD seed N                   a level set-up in that period took seed N
//   PERIOD shown 0|1                the battle was hidden (0) or shown (1) from then on
//   PERIOD check HASH               the world's hash after that period (16 hex digits)
//   PERIOD end                      the battle ended in that period; nothing follows
// Periods count from 1 and never decrease. A file cut off by a crash lacks
// its end line and is still a battle, up to its last period.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "input/input_event.h"

// One scripted input record and the timer period it comes in.
struct ScriptEvent {
    int period = 0;
    InputEvent event;
};

// A refused input file: `where` is "FILE:LINE" or the option's name.
struct InputError : std::runtime_error {
    InputError(const std::string& where, const std::string& what)
        : std::runtime_error(where + ": " + what) {}
};

constexpr int MAX_AREA_SIDE = 4096;         // largest drawing-area width or height
constexpr int MAX_PERIODS = 1'000'000'000;  // longest battle, in periods
constexpr int BATTLE_FILE_VERSION = 1;
constexpr int CHECKPOINT_PERIODS = 400;           // a check line every this many periods
constexpr std::size_t LONGEST_GAME_VERSION = 40;  // characters of the game's version

// Reads `PERIOD EVENT ARGS...` lines; periods lie in 1..last_period and never
// decrease. Throws InputError naming the file and line of the first fault.
std::vector<ScriptEvent> parse_script(std::istream& in, const std::string& file_name,
                                      int last_period);

// Reads one number r with 0 <= r < 1 per line, each rounded to the nearest
// single. Throws InputError naming the file and line of the first fault.
std::vector<float> parse_randoms(std::istream& in, const std::string& file_name);

struct Checkpoint {
    int period = 0;
    std::uint64_t hash = 0;
};

struct SeedTaken {
    int period = 0;
    std::uint32_t seed = 0;
};

struct ShownChange {
    int period = 0;
    bool shown = true;
};

// A battle file as read.
struct BattleFile {
    std::string name;          // the file's name, for messages
    std::string game_version;  // the game that recorded it
    int width = 0, height = 0;
    bool reseeds = false;  // "random clock": each level set-up took a recorded seed
    std::uint32_t first_seed = 0;
    std::vector<ScriptEvent> events;
    std::vector<SeedTaken> seeds;
    std::vector<ShownChange> shown_changes;
    std::vector<Checkpoint> checkpoints;
    int last_period = 0;  // the period of the last line
    bool ended = false;   // the end line is there
};

// Reads a whole battle file. Throws InputError("FILE:LINE", what is wrong)
// at the first fault: another format or version, a line cut short, junk,
// numbers out of range, periods out of order, anything after the end.
BattleFile parse_battle_file(std::istream& in, const std::string& file_name);

// The bytes up to and including the last newline: a battle file a crash cut
// off, without the line it was writing.
std::string_view whole_lines(std::string_view bytes);

// The lines of `battle` up to and including `last_period`, as a recorder
// writes them: the header, then period by period its shown changes, input
// records, seeds and checks; never its end.
std::string battle_file_text(const BattleFile& battle, int last_period);

// The battle file's lines, each ending in a newline.
std::string battle_file_header(const std::string& game_version, int width, int height, bool reseeds,
                               std::uint32_t first_seed);
std::string event_line(int period, const InputEvent& event);
std::string seed_line(int period, std::uint32_t seed);
std::string shown_line(int period, bool shown);
std::string check_line(int period, std::uint64_t hash);
std::string end_line(int period);
