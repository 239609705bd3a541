// The game's own battle window, with the ticks its session ran and the time
// of its first painted frame from the process's start, and with
// QUENMAR_SOUND=1 its sound and the times its device ran out of frames, and
// its game pads unless QUENMAR_NO_PADS=1. Once
// a second it writes them to the report file named on its command line.
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <fstream>
#include <string>

#include "qt/main_window.h"

namespace {

// Milliseconds since this process started, from /proc.
double ms_since_start() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 1; i <= 22 && stat >> field; ++i) {
    }
    const double started = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 - started) *
           1000;
}

// Notes when the window is first painted.
class FirstPaint final : public QObject {
  public:
    double ms = -1;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ms < 0) ms = ms_since_start();
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quenmar-counted REPORT_FILE\n");
        return 2;
    }
    int qt_argc = 1;
    QApplication app(qt_argc, argv);
    Match match;
    BattleKeeper keeper;
    MainWindow window(match, keeper);
    match_start_game(match, window, random_from_clock(), DESIGN_WIDTH, DESIGN_HEIGHT,
                     window.devicePixelRatioF());
    const Session& session = match.session;
    if (qEnvironmentVariableIsSet("QUENMAR_SOUND")) window.play_sound();
    if (!qEnvironmentVariableIsSet("QUENMAR_NO_PADS")) window.take_pads();
    FirstPaint first_paint;
    window.installEventFilter(&first_paint);
    window.show();
    window.activateWindow();
    const QString report = QString::fromLocal8Bit(argv[1]);
    QTimer every_second;
    QObject::connect(&every_second, &QTimer::timeout, [&] {
        QFile out(report + ".new");
        if (!out.open(QIODevice::WriteOnly)) return;
        out.write(QString("ticks %1\nlevel %2\nfirst_paint_ms %3\nunderruns %4\nmuted %5\n")
                      .arg(session.ticks)
                      .arg(session.world.level)
                      .arg(first_paint.ms, 0, 'f', 1)
                      .arg(window.sound_underruns())
                      .arg(match.mixer.muted ? 1 : 0)
                      .toUtf8());
        out.close();
        QFile::remove(report);
        QFile::rename(report + ".new", report);
    });
    every_second.start(1000);
    return QApplication::exec();
}
