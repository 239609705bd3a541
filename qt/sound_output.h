// The match's sound on the desktop: Qt Multimedia's QAudioSink pulls the
// mixer's frames (48 000 a second, stereo, about 40 ms of them buffered)
// through PulseAudio, or PipeWire's PulseAudio service. Where there is no
// sound device or server, or the device goes away, the battle plays on
// silently and says so once on standard error.
#pragma once

#include <QAudioSink>
#include <QIODevice>

#include "match/match.h"

class SoundOutput final : public QIODevice {
  public:
    explicit SoundOutput(Match& match, QObject* parent = nullptr);

    // Starts pulling frames from the default output device.
    void start();
    // Times the device ran out of frames, and how much it keeps buffered.
    int underruns() const { return underruns_; }
    qsizetype buffer_bytes() const { return sink_ != nullptr ? sink_->bufferSize() : 0; }

  protected:
    qint64 readData(char* data, qint64 size) override;
    qint64 writeData(const char*, qint64) override { return -1; }
    bool isSequential() const override { return true; }
    qint64 size() const override;
    qint64 bytesAvailable() const override;

  private:
    void silent(const char* why);

    Match& match_;
    QAudioSink* sink_ = nullptr;
    bool said_ = false;
    int underruns_ = 0;
};
