#include "qt/sound_output.h"

#include <QMediaDevices>
#include <QTimerEvent>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int CHANNELS = 2;
constexpr int BUFFER_MS = 40;  // the sink's buffer...
constexpr int QUEUED_MS = 25;  // ...of which this is kept filled: what a cue waits behind
constexpr int FEED_MS = 5;     // how often it is topped up
constexpr qsizetype FRAME_BYTES = CHANNELS * sizeof(float);

constexpr qsizetype bytes_of(int ms) {
    return qsizetype{SAMPLE_RATE} * ms / 1000 * FRAME_BYTES;
}

// Qt's PulseAudio back end says in its own words what the game's one line
// says: those words are left out.
QtMessageHandler passed_on = nullptr;
void without_sound_server_messages(QtMsgType type, const QMessageLogContext& context,
                                   const QString& message) {
    if (message.startsWith("PulseAudioService") || message.startsWith("\"Stream error")) return;
    if (passed_on != nullptr) {
        passed_on(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

}  // namespace

SoundOutput::SoundOutput(Match& match, QObject* parent) : QObject(parent), match_(match) {}

void SoundOutput::silent(const char* why) {
    if (!said_) std::fprintf(stderr, "quenmar: %s; the game plays on without sound\n", why);
    said_ = true;
    feeding_.stop();
}

void SoundOutput::start() {
    if (passed_on == nullptr) passed_on = qInstallMessageHandler(without_sound_server_messages);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        silent("no sound device or sound server found");
        return;
    }
    QAudioFormat format;
    format.setSampleRate(SAMPLE_RATE);
    format.setChannelCount(CHANNELS);
    format.setSampleFormat(QAudioFormat::Float);
    sink_ = new QAudioSink(device, format, this);
    sink_->setBufferSize(bytes_of(BUFFER_MS));
    connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::IdleState && sink_->error() == QAudio::UnderrunError) ++underruns_;
        if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError)
            silent("the sound device went away");
    });
    device_ = sink_->start();
    if (device_ == nullptr || sink_->error() != QAudio::NoError) {
        silent("the sound device cannot be opened");
        return;
    }
    feeding_.start(FEED_MS, Qt::PreciseTimer, this);
}

void SoundOutput::follow(bool audible) {
    if (sink_ == nullptr || said_ || audible != resting_) return;
    resting_ = !audible;
    if (resting_) {
        feeding_.stop();
        sink_->stop();  // the stream goes, and the sound server rests too
        return;
    }
    device_ = sink_->start();
    if (device_ == nullptr || sink_->error() != QAudio::NoError) {
        silent("the sound device cannot be opened");
        return;
    }
    feeding_.start(FEED_MS, Qt::PreciseTimer, this);
}

// Tops the sink's buffer up to QUEUED_MS from the mixer.
void SoundOutput::timerEvent(QTimerEvent* event) {
    if (event->timerId() != feeding_.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    const qsizetype queued = sink_->bufferSize() - sink_->bytesFree();
    const qsizetype wanted = std::min(bytes_of(QUEUED_MS), sink_->bufferSize()) - queued;
    const auto frames = static_cast<std::size_t>(wanted / FRAME_BYTES);
    if (frames == 0) return;
    frames_.resize(frames * CHANNELS);
    match_sound(match_, frames_);
    device_->write(reinterpret_cast<const char*>(frames_.data()),
                   static_cast<qint64>(frames) * FRAME_BYTES);
}
