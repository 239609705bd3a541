// Where the desktop game keeps its battles: each in a file of its own in the
// battles folder ($XDG_STATE_HOME/quenmar/battles, the newest BATTLES_KEPT),
// named by the local time it began, or the first in a file named on the
// command line. Lines are written as the match gives them, a period at a
// time, and made safe on disk at each checkpoint: a program killed loses at
// most its last second, a power cut its last ten. Where a battle cannot be
// kept, one line says so and the game plays on.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "match/match.h"

constexpr std::size_t BATTLES_KEPT = 20;  // the newest kept in the battles folder

class BattleKeeper {
  public:
    // Keeps battles in the battles folder, or the first in `first_file`.
    explicit BattleKeeper(std::string first_file = "");
    ~BattleKeeper();
    BattleKeeper(const BattleKeeper&) = delete;
    BattleKeeper& operator=(const BattleKeeper&) = delete;

    // The newest battle in the battles folder, which may have been cut off
    // before its end; none if there is none, or the folder cannot be read
    // (said in one line: then no battle is kept).
    std::optional<std::filesystem::path> newest();
    // Goes on keeping the battle brought back from `file`, after its first
    // `whole` bytes: its whole lines.
    void go_on_in(const std::filesystem::path& file, std::size_t whole);
    // Sets aside a kept battle that no longer replays, under a name that is
    // not tried again; returns that name.
    std::string set_aside(const std::filesystem::path& file);
    // Keeps what the match gives to keep.
    void keep(const ToKeep& lines);

  private:
    void open_new();
    void write(const std::string& lines, bool sync);
    void fail(const std::string& what);

    std::string first_file_;
    std::filesystem::path folder_;
    std::FILE* file_ = nullptr;
    std::string path_;
    bool failed_ = false;  // said once; nothing is kept after
};
