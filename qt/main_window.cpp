#include "qt/main_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QSettings>
#include <QTimerEvent>
#include <cmath>
#include <cstdio>

#include "qt/event_translation.h"

namespace {

constexpr const char* GAME_TITLE = "Quenmar";
constexpr const char* SETTINGS = "quenmar";  // the organisation and the application alike
constexpr const char* SOUND_OFF = "sound/off";
constexpr int LINE_MARGIN = 8;  // about the replay's line, pixels

// The smallest box of whole drawing units that covers a box of the picture.
QRect units_covering(const PixelBox& box, double scale) {
    const int left = static_cast<int>(std::floor(box.left / scale));
    const int top = static_cast<int>(std::floor(box.top / scale));
    const int right = static_cast<int>(std::ceil((box.right + 1) / scale));
    const int bottom = static_cast<int>(std::ceil((box.bottom + 1) / scale));
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace

MainWindow::MainWindow(Match& match) : QWidget(nullptr, Qt::FramelessWindowHint), match_(match) {
    setWindowTitle(GAME_TITLE);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    resize(DESIGN_WIDTH, DESIGN_HEIGHT);
    // A key released while another program has the keyboard never reaches us.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s != Qt::ApplicationActive) match_take(match_, {.kind = InputKind::KeyboardLost});
    });
    // A replay's keys act wherever the keyboard is, a small window the
    // recorded battle opened included.
    qApp->installEventFilter(this);
    battle_timer_.start(PERIOD_MS, Qt::PreciseTimer, this);
}

void MainWindow::play_sound() {
    sound_ = new SoundOutput(match_, this);
    sound_->start();
}

bool sound_kept_off() {
    return QSettings(SETTINGS, SETTINGS).value(SOUND_OFF, false).toBool();
}

void MainWindow::keep_muted(bool muted) {
    QSettings(SETTINGS, SETTINGS).setValue(SOUND_OFF, muted);
}

void MainWindow::show_picture(std::span<const PixelBox> changed) {
    QRegion region;
    for (const PixelBox& box : changed)
        region += units_covering(box, match_.session.picture.scale);
    update(region);
}

SmallDialog& MainWindow::small_window(SmallWindow which) {
    const auto sink = [this](const InputEvent& e) { match_take(match_, e); };
    if (which == SmallWindow::Help) {
        if (help_window_ == nullptr) help_window_ = new HelpWindow(this, sink);
        return *help_window_;
    }
    if (result_window_ == nullptr) result_window_ = new ResultWindow(this, sink);
    return *result_window_;
}

void MainWindow::open_result_window(ResultScore score) {
    result_window().show_score(score);
    result_window().open_over(*this);
}

void MainWindow::open_help_window() {
    small_window(SmallWindow::Help).open_over(*this);
}

void MainWindow::close_small_window(SmallWindow which) {
    small_window(which).close_to(*this);
}

QRect MainWindow::replay_line_box() const {
    const int height = fontMetrics().height() + LINE_MARGIN;
    return QRect(0, this->height() - height, width(), height);
}

void MainWindow::show_replay(std::string_view line, std::string_view note) {
    replay_line_ = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    if (!note.empty())
        replay_line_ += " · " + QString::fromUtf8(note.data(), static_cast<qsizetype>(note.size()));
    setWindowTitle(replay_line_.isEmpty() ? GAME_TITLE
                                          : QString(REPLAY_TITLE) + " · " + replay_line_);
    update(replay_line_box());
}

// The message box lives in the program's one event loop, which an earlier
// exit request cannot cut short before the player has read it.
void MainWindow::end_program(int status, std::string_view message) {
    if (record_file_ != nullptr) match_write_out(match_, record_file_);
    battle_timer_.stop();
    if (message.empty()) {
        QCoreApplication::exit(status);
        return;
    }
    const std::string line(message);
    std::fprintf(stderr, "quenmar: %s\n", line.c_str());
    auto* box = new QMessageBox(QMessageBox::Critical, "Quenmar", QString::fromStdString(line),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QDialog::finished, [status] { QCoreApplication::exit(status); });
    box->show();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!match_.replay || event->type() != QEvent::KeyPress || widget == nullptr) return false;
    const QWidget* window = widget->window();
    if (window != this && window != result_window_ && window != help_window_) return false;
    if (const std::optional<InputEvent> record = translate_event(*event, EventSource::Replay)) {
        match_take(match_, *record);
    }
    return true;
}

bool MainWindow::event(QEvent* event) {
    const std::optional<InputEvent> record = translate_event(*event, source());
    if (!record) return QWidget::event(event);
    match_take(match_, *record);
    // The window has no close box; a close request from the window system
    // closes nothing itself: the match's end does.
    if (event->type() == QEvent::Close) event->ignore();
    return event->type() == QEvent::Resize ? QWidget::event(event) : true;
}

void MainWindow::paintEvent(QPaintEvent*) {
    const Surface& s = match_.session.picture;
    QPainter painter(this);
    if (s.width == 0 || s.height == 0) return;
    QImage picture(reinterpret_cast<const uchar*>(s.pixels.data()), s.width, s.height, s.width * 4,
                   QImage::Format_RGB32);
    picture.setDevicePixelRatio(s.scale);
    painter.drawImage(QPointF(0, 0), picture);  // one pixel to one pixel, clipped to the update
    if (!replay_line_.isEmpty()) {
        const QRect box = replay_line_box();
        painter.fillRect(box, QColor(255, 255, 255, 210));
        painter.setPen(Qt::darkBlue);
        painter.drawText(box.adjusted(LINE_MARGIN, 0, -LINE_MARGIN, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, replay_line_);
    }
}

void MainWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() != battle_timer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    // Moved to a screen of another scale: the picture starts afresh there.
    if (devicePixelRatioF() != match_.session.picture.scale) {
        match_set_display_scale(match_, devicePixelRatioF());
    }
    match_run_period(match_, !isMinimized());  // a minimised battle waits for the player
    if (record_file_ != nullptr) match_write_out(match_, record_file_);
}
