#include "qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPainter>
#include <QTimerEvent>
#include <cmath>
#include <cstdio>

#include "qt/event_translation.h"

namespace {

// The smallest box of whole drawing units that covers a box of the picture.
QRect units_covering(const PixelBox& box, double scale) {
    const int left = static_cast<int>(std::floor(box.left / scale));
    const int top = static_cast<int>(std::floor(box.top / scale));
    const int right = static_cast<int>(std::ceil((box.right + 1) / scale));
    const int bottom = static_cast<int>(std::ceil((box.bottom + 1) / scale));
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace

MainWindow::MainWindow(Session& session, RandomSource random)
    : QWidget(nullptr, Qt::FramelessWindowHint), session_(session) {
    setWindowTitle("Quenmar");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    resize(DESIGN_WIDTH, DESIGN_HEIGHT);
    session_start(session_, *this, std::move(random), DESIGN_WIDTH, DESIGN_HEIGHT,
                  devicePixelRatioF());
    // A key released while another program has the keyboard never reaches us.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s != Qt::ApplicationActive) session_take(session_, {.kind = InputKind::KeyboardLost});
    });
    battle_timer_.start(PERIOD_MS, Qt::PreciseTimer, this);
}

void MainWindow::show_picture(std::span<const PixelBox> changed) {
    QRegion region;
    for (const PixelBox& box : changed)
        region += units_covering(box, session_.picture.scale);
    update(region);
}

SmallDialog& MainWindow::small_window(SmallWindow which) {
    const auto sink = [this](const InputEvent& e) { session_take(session_, e); };
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

// The message box lives in the program's one event loop, which an earlier
// exit request cannot cut short before the player has read it.
void MainWindow::end_program(int status, std::string_view message) {
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

bool MainWindow::event(QEvent* event) {
    const std::optional<InputEvent> record = translate_event(*event, EventSource::Battle);
    if (!record) return QWidget::event(event);
    session_take(session_, *record);
    return event->type() == QEvent::Resize ? QWidget::event(event) : true;
}

void MainWindow::paintEvent(QPaintEvent*) {
    const Surface& s = session_.picture;
    QPainter painter(this);
    if (s.width == 0 || s.height == 0) return;
    QImage picture(reinterpret_cast<const uchar*>(s.pixels.data()), s.width, s.height,
                   s.width * 4, QImage::Format_RGB32);
    picture.setDevicePixelRatio(s.scale);
    painter.drawImage(QPointF(0, 0), picture);  // one pixel to one pixel, clipped to the update
}

void MainWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() != battle_timer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    // Moved to a screen of another scale: the picture starts afresh there.
    if (devicePixelRatioF() != session_.picture.scale) {
        session_set_display_scale(session_, devicePixelRatioF());
    }
    session_run_period(session_, !isMinimized());  // a minimised battle waits for the player
}

// The window has no close box; a close request from the window system ends
// the program, as "Quit" does.
void MainWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    session_take(session_, {.kind = InputKind::Click, .button = SmallButton::Quit});
}
