// A PulseAudio server of a test's own, on a socket of its own, with one null
// sink whose monitor the test records: what the programs it serves play.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

class SoundServer {
  public:
    // Starts the server; ok() once it answers.
    SoundServer() {
        std::filesystem::create_directories(folder_ + "/run");
        std::filesystem::permissions(folder_ + "/run", std::filesystem::perms::owner_all);
        ok_ = std::system(
                  (server_ +
                   " -n --daemonize=yes --exit-idle-time=-1 -L 'module-null-sink rate=48000 "
                   "sink_name=quenmar' -L 'module-native-protocol-unix auth-anonymous=1 socket=" +
                   socket_ + "' 2>/dev/null && pactl --server=unix:" + socket_ + " info >/dev/null")
                      .c_str()) == 0;
    }
    ~SoundServer() {
        std::system((server_ + " --kill 2>/dev/null").c_str());
        std::filesystem::remove_all(folder_);
    }

    bool ok() const { return ok_; }
    // The variable that sends a program's sound here.
    std::string variable() const { return "PULSE_SERVER=unix:" + socket_; }

    // Records what the sink plays while `meanwhile` runs, once the server says
    // the recording has started; the loudest sample after the first
    // `skip_ms`, 0..1.
    template <typename Meanwhile>
    double loudest(Meanwhile meanwhile, int skip_ms = 0) {
        const std::string raw = folder_ + "/recorded.raw", server = "--server=unix:" + socket_;
        std::thread recording([&] {
            std::system(("parec " + server +
                         " --device=quenmar.monitor --raw --format=s16le --rate=48000 "
                         "--channels=2 >" +
                         raw)
                            .c_str());
        });
        const std::string recording_started =
            "pactl " + server + " list short source-outputs | grep -q .";
        for (int tries = 0; tries < 100 && std::system(recording_started.c_str()) != 0; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        meanwhile();
        std::system(("pkill -f 'parec " + server + "'").c_str());
        recording.join();
        std::ifstream in(raw, std::ios::binary);
        in.seekg(48 * 4 * skip_ms);  // 48 frames a millisecond, 4 bytes a frame
        int most = 0;
        for (std::int16_t sample = 0; in.read(reinterpret_cast<char*>(&sample), 2);)
            most = std::max(most, std::abs(sample + 0));
        return most / 32768.0;
    }

  private:
    const std::string folder_ =
        std::filesystem::temp_directory_path() / ("quenmar-sound-" + std::to_string(::getpid()));
    const std::string socket_ = folder_ + "/socket";
    // pulseaudio with a home and runtime folder of its own
    const std::string server_ =
        "HOME=" + folder_ + " XDG_RUNTIME_DIR=" + folder_ + "/run pulseaudio";
    bool ok_ = false;
};
