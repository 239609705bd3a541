// A battle handed on in a link: the battle of a battle file in a compact form
// of its own, which the page deflates and writes in base64url after #battle=.
// It keeps what the battle keeps: of the pointer, each period's last position
// in whole units, relative to the one before; of the keys and buttons, those
// the game acts on, each in a few bits. Opened, it is the same battle: every
// checkpoint holds.
//
// Version 1, byte by byte:
//   'Q' 'B' 1                  the form and its version
//   LENGTH TEXT                the game's version (at most 40 characters)
//   WIDTH HEIGHT               the field at the start, whole numbers
//   RESEEDS SEED               1: reseeded from the clock at each set-up, 0: one
//                              sequence; the first seed in 4 bytes
//   R X Y                      the lengths of the first three streams below
// then four streams, each alike all through, which deflate best kept apart:
//   records     a byte a record: its kind in the high five bits and, in the
//               low three, how many periods after the record before it it
//               comes (7: the rest follows as a whole number among what the
//               records carry)
//   x, y        of each pointer record, the position's change in x, in y:
//               signed whole numbers
//   carried     what the other records carry, in their order: right-button
//               releases x and y as singles, 4 bytes each; resizes width
//               and height, whole numbers; seeds 4 bytes, checks 8
// Whole numbers take 7 bits a byte, lowest first, the high bit on in every
// byte but the last; signed ones are folded (0, -1, 1, -2 ... as 0, 1, 2, 3).
// Every number is little-endian.
#pragma once

#include <string>
#include <string_view>

#include "record/battle_file.h"

constexpr int BATTLE_LINK_VERSION = 1;
constexpr std::size_t LONGEST_BATTLE = 64 << 20;  // bytes of a battle taken from a file or a link

// The battle in its link form.
std::string battle_link(const BattleFile& battle);

// Whose battle is read: someone else's is read strictly; one's own, kept as
// it was fought, in a battle file's text, may end in a line a crash cut
// short, and is read up to its last whole line.
enum class Reading : bool { Strict, Own };

// A battle from its link form or from a battle file's text, whichever `bytes`
// hold. Throws InputError naming `name` and the byte or the line of the first
// fault.
BattleFile read_battle(std::string_view bytes, const std::string& name,
                       Reading reading = Reading::Strict);
// The bytes of the file at `path`. Throws InputError naming the file when it
// cannot be read or is too large for a battle.
std::string battle_bytes_from(const std::string& path);
// The battle in the file at `path`, in either form. Throws InputError naming
// the file when it cannot be read, is too large, or as read_battle does.
BattleFile read_battle_from(const std::string& path);
