// A PulseAudio server of a test's own, on a socket of its own, with one null
// sink whose monitor the test records: what the programs it serves play.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class SoundServer {
  public:
    // Starts the server and waits until it answers.
    SoundServer();
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    bool ok() const { return answered_; }
    // The variable that sends a program's sound here.
    std::string variable() const { return "PULSE_SERVER=unix:" + socket_; }

    // Records what the sink plays from now until stop_recording, which
    // returns the loudest sample of it after its first `skip_ms`, 0..1.
    void start_recording();
    double stop_recording(int skip_ms = 0);

  private:
    std::string folder_, socket_;
    pid_t server_ = -1, recorder_ = -1;
    bool answered_ = false;
};
