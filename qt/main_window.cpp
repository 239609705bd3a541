#include "qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
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

MainWindow::MainWindow(Session& session, BattleFile file)
    : QWidget(nullptr, Qt::FramelessWindowHint), session_(session) {
    setWindowTitle(REPLAY_TITLE);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(file.width, file.height);
    replay_.emplace();
    replay_start(*replay_, session_, *this, std::move(file), devicePixelRatioF());
    // The viewer's keys act wherever the keyboard is, a small window the
    // recorded battle opened included.
    qApp->installEventFilter(this);
    battle_timer_.start(PERIOD_MS, Qt::PreciseTimer, this);
}

void MainWindow::record_to(std::FILE* file) {
    record_file_ = file;
    record_start(recorder_, session_);
    write_out(recorder_, record_file_);
}

void MainWindow::show_picture(std::span<const PixelBox> changed) {
    QRegion region;
    for (const PixelBox& box : changed)
        region += units_covering(box, session_.picture.scale);
    update(region);
}

SmallDialog& MainWindow::small_window(SmallWindow which) {
    // A replay's small windows only show what the recorded battle's did.
    const auto sink = [this](const InputEvent& e) {
        if (!replay_) session_take(session_, e);
    };
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
    if (replay_ && status == 0) return;  // the recorded battle was quit: the replay stands on it
    if (record_file_ != nullptr) record_end(recorder_, session_);
    write_out(recorder_, record_file_);
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

// The viewer's keys in a replay; every other input leaves the battle alone.
bool MainWindow::replay_event(const QEvent& event) {
    if (event.type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent&>(event).key();
        if (key == Qt::Key_P || key == Qt::Key_Space) {
            replay_paused_ = !replay_paused_;
            update();
        } else if (key == Qt::Key_Escape) {
            QCoreApplication::exit(0);
        }
        return true;
    }
    return dynamic_cast<const QInputEvent*>(&event) != nullptr;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (event->type() != QEvent::KeyPress || widget == nullptr) return false;
    const QWidget* window = widget->window();
    const bool ours = window == this || window == result_window_ || window == help_window_;
    return ours && replay_event(*event);
}

bool MainWindow::event(QEvent* event) {
    if (replay_) {
        return replay_event(*event) || QWidget::event(event);
    }
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
    if (replay_) {
        const char* note = replay_->state == ReplayState::Over ? REPLAY_OVER
                           : replay_paused_                      ? REPLAY_PAUSED
                                                                 : nullptr;
        if (note != nullptr) {
            painter.setPen(Qt::darkBlue);
            painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop, note);
        }
    }
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
    run_period();
}

void MainWindow::run_period() {
    if (replay_) {
        if (replay_paused_ || replay_->state != ReplayState::Running) return;
        replay_period(*replay_, session_);
        if (replay_->state == ReplayState::Over) {
            setWindowTitle(REPLAY_OVER);  // the taskbar says so too
            update();
        }
        if (replay_->state == ReplayState::Parted) end_program(BATTLES_PARTED_STATUS, replay_->message);
        return;
    }
    if (record_file_ == nullptr) {
        session_run_period(session_, !isMinimized());  // a minimised battle waits for the player
        return;
    }
    record_period(recorder_, session_, !isMinimized());
    write_out(recorder_, record_file_);
}

// The window has no close box; a close request from the window system ends
// the program, as "Quit" does.
void MainWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (replay_) {
        QCoreApplication::exit(0);
        return;
    }
    session_take(session_, {.kind = InputKind::Click, .button = SmallButton::Quit});
}
