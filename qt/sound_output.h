// The match's sound on the desktop, through Qt Multimedia's QAudioSink to
// PulseAudio, or PipeWire's PulseAudio service: 48 000 frames a second,
// stereo, about 40 ms of buffer of which the game keeps 25 ms filled, topped
// up from the mixer every 5 ms. While nothing can be heard (muted, or the
// battle stands still and its sounds have played out) the sink is suspended
// and nothing is fed. Where there is no sound device or server, or the
// device goes away, the battle plays on silently and says so once on
// standard error.
#pragma once

#include <QAudioSink>
#include <QBasicTimer>
#include <vector>

#include "match/match.h"

class SoundOutput final : public QObject {
  public:
    explicit SoundOutput(Match& match, QObject* parent = nullptr);

    // Starts playing on the default output device.
    void start();
    // Rests the device while nothing can be heard, and wakes it when something can.
    void follow(bool audible);
    // Times the device ran out of frames.
    int underruns() const { return underruns_; }

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    void silent(const char* why);

    Match& match_;
    QAudioSink* sink_ = nullptr;
    QIODevice* device_ = nullptr;  // the sink's, which takes the frames
    QBasicTimer feeding_;
    std::vector<float> frames_;
    bool said_ = false;
    bool resting_ = false;
    int underruns_ = 0;
};
