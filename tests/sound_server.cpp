#include "sound_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace {

constexpr const char* SINK = "quenmar";

pid_t spawn(std::vector<std::string> argv, const std::string& out, const std::vector<std::string>& env) {
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    std::vector<std::string> env_text(env);
    for (char** e = environ; *e != nullptr; ++e) env_text.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env_text) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void stop(pid_t& pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
}

}  // namespace

SoundServer::SoundServer() {
    folder_ = std::filesystem::temp_directory_path() / ("quenmar-sound-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_ + "/run");
    std::filesystem::permissions(folder_ + "/run", std::filesystem::perms::owner_all);
    socket_ = folder_ + "/socket";
    server_ = spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                     "--disallow-exit", "-L", std::string("module-null-sink rate=48000 sink_name=") + SINK,
                     "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket_},
                    folder_ + "/server.log", {"HOME=" + folder_, "XDG_RUNTIME_DIR=" + folder_ + "/run"});
    const std::string ask = "pactl --server=unix:" + socket_ + " info >/dev/null 2>&1";
    for (int tries = 0; tries < 100 && !answered_; ++tries) {
        answered_ = std::system(ask.c_str()) == 0;
        if (!answered_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

SoundServer::~SoundServer() {
    stop(recorder_);
    stop(server_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void SoundServer::start_recording() {
    recorder_ = spawn({"parec", "--server=unix:" + socket_, std::string("--device=") + SINK + ".monitor", "--raw",
                       "--format=s16le", "--rate=48000", "--channels=2"},
                      folder_ + "/recorded.raw", {});
}

double SoundServer::stop_recording(int skip_ms) {
    stop(recorder_);
    std::ifstream in(folder_ + "/recorded.raw", std::ios::binary);
    in.seekg(48 * 4 * skip_ms);  // 48 frames a millisecond, 4 bytes a frame
    int loudest = 0;
    for (char bytes[2]; in.read(bytes, 2);) {
        const auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[0]) |
                                                      static_cast<unsigned char>(bytes[1]) << 8);
        loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    }
    return loudest / 32768.0;
}
