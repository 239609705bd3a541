#include "qt/sound_output.h"

#include <QMediaDevices>
#include <cstdio>
#include <span>

namespace {

constexpr int CHANNELS = 2;
constexpr int BUFFER_MS = 40;
constexpr int PULL_MS = 20;  // how much the sink pulls at a time
constexpr qsizetype FRAME_BYTES = CHANNELS * sizeof(float);

constexpr qint64 bytes_of(int ms) {
    return qint64{SAMPLE_RATE} * ms / 1000 * FRAME_BYTES;
}

// Qt's PulseAudio back end says in its own words what the game's one line
// says: those words are left out.
QtMessageHandler passed_on = nullptr;
void without_sound_server_messages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith("PulseAudioService") || message.startsWith("\"Stream error")) return;
    if (passed_on != nullptr) {
        passed_on(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

}  // namespace

SoundOutput::SoundOutput(Match& match, QObject* parent) : QIODevice(parent), match_(match) {}

void SoundOutput::silent(const char* why) {
    if (!said_) std::fprintf(stderr, "quenmar: %s; the game plays on without sound\n", why);
    said_ = true;
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
        if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError) silent("the sound device went away");
    });
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    sink_->start(this);
    if (sink_->error() != QAudio::NoError) silent("the sound device cannot be opened");
}

// The sink plays once its stream holds as much as the device's size, and
// pulls only while bytes are available: a pull's worth starts it at once
// (PulseAudio would otherwise wait for more than one pull, which the sink
// never asks for), and the mixer always has more.
qint64 SoundOutput::size() const {
    return bytes_of(PULL_MS);
}

qint64 SoundOutput::bytesAvailable() const {
    return bytes_of(BUFFER_MS) + QIODevice::bytesAvailable();
}

qint64 SoundOutput::readData(char* data, qint64 size) {
    const auto frames = static_cast<std::size_t>(size / FRAME_BYTES);
    match_sound(match_, std::span(reinterpret_cast<float*>(data), frames * CHANNELS));
    return static_cast<qint64>(frames) * FRAME_BYTES;
}
