#include "qt/battle_keeper.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* BATTLE_EXTENSION = ".battle";
constexpr const char* SET_ASIDE_EXTENSION = ".unreplayable";

std::string local_time_name() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    char name[32];
    std::strftime(name, sizeof name, "%Y-%m-%d-%H%M%S", std::localtime(&now));
    return name;
}

fs::path battles_folder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    const fs::path base = state != nullptr && *state != '\0'
                              ? fs::path(state)
                              : fs::path(home != nullptr ? home : ".") / ".local" / "state";
    return base / "quenmar" / "battles";
}

// The battles in the folder, oldest first: their names begin with the time.
std::vector<fs::path> kept_battles(const fs::path& folder) {
    std::vector<fs::path> kept;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == BATTLE_EXTENSION) kept.push_back(entry.path());
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

}  // namespace

BattleKeeper::BattleKeeper(std::string first_file)
    : first_file_(std::move(first_file)), folder_(battles_folder()) {}

BattleKeeper::~BattleKeeper() {
    if (file_ != nullptr) std::fclose(file_);
}

void BattleKeeper::fail(const std::string& what) {
    if (!failed_) std::fprintf(stderr, "quenmar: %s; the battle is not kept\n", what.c_str());
    failed_ = true;
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

std::optional<fs::path> BattleKeeper::newest() {
    try {
        if (!fs::exists(folder_)) return std::nullopt;
        const std::vector<fs::path> kept = kept_battles(folder_);
        if (!kept.empty()) return kept.back();
    } catch (const fs::filesystem_error& e) {
        fail(folder_.string() + ": the kept battles cannot be read (" + e.code().message() + ")");
    }
    return std::nullopt;
}

void BattleKeeper::go_on_in(const fs::path& file, std::size_t whole) {
    path_ = file.string();
    file_ = std::fopen(path_.c_str(), "r+");
    if (file_ == nullptr || ::ftruncate(::fileno(file_), static_cast<off_t>(whole)) != 0 ||
        std::fseek(file_, 0, SEEK_END) != 0) {
        fail(path_ + ": cannot be written");
    }
}

std::string BattleKeeper::set_aside(const fs::path& file) {
    fs::path aside = file;
    aside += SET_ASIDE_EXTENSION;
    std::error_code error;
    fs::rename(file, aside, error);
    return (error ? file : aside).string();
}

// A new file in the battles folder, named by the local time; the oldest go
// so that the newest BATTLES_KEPT stay.
void BattleKeeper::open_new() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    path_ = std::exchange(first_file_, "");
    try {
        if (path_.empty()) {
            fs::create_directories(folder_);
            const std::vector<fs::path> kept = kept_battles(folder_);
            for (std::size_t i = 0; i + BATTLES_KEPT < kept.size() + 1; ++i)
                fs::remove(kept[i]);
            fs::path path = folder_ / (local_time_name() + BATTLE_EXTENSION);
            for (int n = 2; fs::exists(path); ++n)
                path = folder_ / (local_time_name() + "-" + std::to_string(n) + BATTLE_EXTENSION);
            path_ = path.string();
        }
    } catch (const fs::filesystem_error& e) {
        fail(folder_.string() + ": cannot be made (" + e.code().message() + ")");
        return;
    }
    file_ = std::fopen(path_.c_str(), "w");
    if (file_ == nullptr) fail(path_ + ": cannot be written");
}

void BattleKeeper::write(const std::string& lines, bool sync) {
    if (file_ == nullptr || (lines.empty() && !sync)) return;
    const bool written = std::fwrite(lines.data(), 1, lines.size(), file_) == lines.size() &&
                         std::fflush(file_) == 0 && (!sync || ::fsync(::fileno(file_)) == 0);
    if (!written) fail(path_ + ": cannot be written");
}

void BattleKeeper::keep(const ToKeep& k) {
    if (failed_) return;
    write(k.lines, k.sync);
    if (k.ends && file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!k.anew) return;
    open_new();
    write(k.first_lines, true);
}
