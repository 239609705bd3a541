#include "qt/main_window.h"

#include <QApplication>
#include <QPainter>
#include <QTimerEvent>

#include "qt/event_translation.h"

constexpr const char* GAME_TITLE = "Quenmar";

MainWindow::MainWindow(Match& match, BattleKeeper& keeper)
    : QWidget(nullptr, Qt::FramelessWindowHint), match_(match), keeper_(keeper) {
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
    battle_timer_.start(PERIOD_MS, Qt::PreciseTimer, this);
}

// The window takes the size of the picture's area where that changed
// otherwise than by the window's own resizing (a replay's, or a new battle's).
void MainWindow::show_picture(std::span<const PixelBox> changed) {
    const Surface& picture = match_.session.picture;
    const QSize area(picture.area_width, picture.area_height);
    if (area != area_ && area != size()) resize(area);
    area_ = area;
    QRegion region;  // the whole drawing units that cover the boxes
    for (const PixelBox& box : changed) {
        region += QRectF(QPointF(box.left, box.top) / picture.scale,
                         QPointF(box.right + 1, box.bottom + 1) / picture.scale)
                      .toAlignedRect();
    }
    update(region);
}

void MainWindow::show_replay(std::string_view line, int, int) {
    replay_line_.text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    setWindowTitle(line.empty() ? GAME_TITLE : QString(REPLAY_TITLE) + " · " + replay_line_.text);
    update(replay_line_.box(*this));
}

void MainWindow::end_program(int status, std::string_view message) {
    keeper_.keep(match_to_keep(match_));
    battle_timer_.stop();
    say_and_end(this, status, std::string(message));
}

bool MainWindow::event(QEvent* event) {
    // The window has no close box; a close request from the window system
    // closes nothing itself: the match's end does.
    if (event->type() == QEvent::Close) {
        match_close(match_);
        event->ignore();
        return true;
    }
    if (const std::optional<InputEvent> record = translate_event(*event)) {
        match_take(match_, *record);
        if (event->type() != QEvent::Resize) return true;
    }
    return QWidget::event(event);
}

void MainWindow::paintEvent(QPaintEvent*) {
    const Surface& s = match_.session.picture;
    QPainter painter(this);
    if (s.width == 0 || s.height == 0) return;
    QImage picture(reinterpret_cast<const uchar*>(s.pixels.data()), s.width, s.height, s.width * 4,
                   QImage::Format_RGB32);
    picture.setDevicePixelRatio(s.scale);
    painter.drawImage(QPointF(0, 0), picture);  // one pixel to one pixel, clipped to the update
    replay_line_.paint(painter, *this);
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
    if (pads_) pads_->read(match_, small_windows_.place());
    match_run_period(match_, !isMinimized());  // a minimised battle waits for the player
    keeper_.keep(match_to_keep(match_));
    if (sound_ != nullptr) sound_->follow(match_audible(match_));
}
