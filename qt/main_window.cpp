#include "qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/checked.h"
#include "battle/tick.h"
#include "qt/event_translation.h"
#include "qt/help_window.h"
#include "qt/result_window.h"

QRect fitted_geometry(const QRect& available) {
    const QSize size(std::min(DESIGN_WIDTH, available.width()),
                     std::min(DESIGN_HEIGHT, available.height()));
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(available.center());
    return placed;
}

MainWindow::MainWindow(GameWorld& world)
    : QWidget(nullptr, Qt::FramelessWindowHint), world_(world) {
    setWindowTitle("Quenmar");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    resize(DESIGN_WIDTH, DESIGN_HEIGHT);
    resize_surface(DESIGN_WIDTH, DESIGN_HEIGHT);
    random_seed_from_clock(random_);
    // A key released while another program has the keyboard never reaches us.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s != Qt::ApplicationActive) deliver({.kind = InputKind::KeyboardLost});
    });
    set_tmr_Enabled(true);
}

void MainWindow::clear_surface() {
    surface_clear(surface_);
}

void MainWindow::draw_line(float x1, float y1, float x2, float y2, ColourValue colour) {
    surface_line(surface_, x1, y1, x2, y2, colour);
}

void MainWindow::draw_line_on(float x2, float y2, ColourValue colour) {
    surface_line_on(surface_, x2, y2, colour);
}

void MainWindow::draw_circle(float x, float y, float radius, ColourValue colour) {
    surface_circle(surface_, x, y, radius, colour);
}

float MainWindow::ScaleWidth() {
    return static_cast<float>(area_width_);
}

float MainWindow::ScaleHeight() {
    return static_cast<float>(area_height_);
}

// The picture has the screen's own pixels: the area in drawing units times
// the display's scale.
void MainWindow::resize_surface(int width, int height) {
    area_width_ = width;
    area_height_ = height;
    const double scale = devicePixelRatioF();
    surface_set_scale(surface_, scale);
    surface_resize(surface_, static_cast<int>(std::lround(width * scale)),
                   static_cast<int>(std::lround(height * scale)));
    dirty_strips_.reserve(static_cast<std::size_t>(surface_.tile_columns) * surface_.tile_rows);
}

void MainWindow::set_tmr_Enabled(bool enabled) {
    if (enabled && !tmr_.isActive()) {
        tmr_.start(TIMER_INTERVAL_MS, Qt::PreciseTimer, this);
    } else if (!enabled) {
        tmr_.stop();
    }
}

ResultWindow& MainWindow::frm_winlose() {
    if (frm_winlose_ == nullptr) {
        frm_winlose_ = new ResultWindow(this, [this](const InputEvent& e) { deliver(e); });
    }
    return *frm_winlose_;
}

HelpWindow& MainWindow::frm_help() {
    if (frm_help_ == nullptr) {
        frm_help_ = new HelpWindow(this, [this](const InputEvent& e) { deliver(e); });
    }
    return *frm_help_;
}

bool MainWindow::frm_winlose_Visible() {
    return frm_winlose().isVisible();
}

void MainWindow::set_frm_winlose_Visible(bool visible) {
    if (visible) {
        frm_winlose().open_over(*this);
    } else {
        frm_winlose().close_to(*this);
    }
}

bool MainWindow::frm_help_Visible() {
    return frm_help().isVisible();
}

void MainWindow::set_frm_help_Visible(bool visible) {
    if (visible) {
        frm_help().open_over(*this);
    } else {
        frm_help().close_to(*this);
    }
}

void MainWindow::set_Caption(ResultLabel label, std::string_view text) {
    QLabel* target = label == ResultLabel::Label3 ? frm_winlose().Label3 : frm_winlose().Label4;
    target->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void MainWindow::terminate_program() {
    stopped_ = true;
    tmr_.stop();
    QCoreApplication::exit(0);
}

void MainWindow::tick() {
    run_game([this] { on_tick(world_, *this); });
}

void MainWindow::deliver(const InputEvent& event) {
    run_game([&] { deliver_event(world_, *this, event); });
}

template <typename GameCode>
void MainWindow::run_game(GameCode&& code) {
    if (stopped_) return;
    try {
        code();
    } catch (...) {
        stop_on_fault(fault_message(std::current_exception()));
        return;
    }
    surface_take_dirty_strips(surface_, dirty_strips_);
    if (dirty_strips_.empty()) return;
    QRegion changed;
    for (const DirtyBox& strip : dirty_strips_)
        changed += units_covering(strip);
    update(changed);
}

// The smallest box of whole drawing units that covers the changed pixels.
QRect MainWindow::units_covering(const DirtyBox& box) const {
    const double scale = surface_.scale;
    const int left = static_cast<int>(std::floor(box.left / scale));
    const int top = static_cast<int>(std::floor(box.top / scale));
    const int right = static_cast<int>(std::ceil((box.right + 1) / scale));
    const int bottom = static_cast<int>(std::ceil((box.bottom + 1) / scale));
    return QRect(left, top, right - left, bottom - top);
}

// The message box is shown without a nested event loop of its own: it lives in
// the program's one loop, which an earlier exit request cannot cut short
// before the player has read it.
void MainWindow::stop_on_fault(const std::string& message) {
    stopped_ = true;
    faulted_ = true;
    tmr_.stop();
    std::fprintf(stderr, "quenmar: the game stopped: %s\n", message.c_str());
    auto* box = new QMessageBox(QMessageBox::Critical, "Quenmar", QString::fromStdString(message),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QDialog::finished, [] { QCoreApplication::exit(FAULT_EXIT_STATUS); });
    box->show();
}

bool MainWindow::event(QEvent* event) {
    const std::optional<InputEvent> record = translate_event(*event, EventSource::Battle);
    if (!record) return QWidget::event(event);
    deliver(*record);
    return event->type() == QEvent::Resize ? QWidget::event(event) : true;
}

void MainWindow::paintEvent(QPaintEvent*) {
    if (devicePixelRatioF() != surface_.scale) {
        // Moved to a screen of another scale: the picture starts afresh there.
        run_game([this] { resize_surface(area_width_, area_height_); });
        update();
    }
    QPainter painter(this);
    if (surface_.width == 0 || surface_.height == 0) return;
    QImage picture(reinterpret_cast<const uchar*>(surface_.pixels.data()), surface_.width,
                   surface_.height, surface_.width * 4, QImage::Format_RGB32);
    picture.setDevicePixelRatio(surface_.scale);
    painter.drawImage(QPointF(0, 0), picture);  // one pixel to one pixel, clipped to the update
}

void MainWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() != tmr_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    // A minimised battle waits for the player: the period passes without a
    // tick, and the game's own view of the timer stays as it was.
    if (isMinimized()) return;
    tick();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window has no close box; a close request from the window system
    // ends the program.
    event->accept();
    terminate_program();
}
