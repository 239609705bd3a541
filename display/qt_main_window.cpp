#include "display/qt_main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>

#include "core/checked.h"
#include "core/tick.h"

MainWindow::MainWindow(GameWorld& world)
    : QWidget(nullptr, Qt::FramelessWindowHint), world_(world) {
    setWindowTitle("Quenmar");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(DESIGN_WIDTH, DESIGN_HEIGHT);
    surface_resize(surface_, DESIGN_WIDTH, DESIGN_HEIGHT);
    random_seed_from_clock(random_);
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
    return static_cast<float>(surface_.width);
}

float MainWindow::ScaleHeight() {
    return static_cast<float>(surface_.height);
}

void MainWindow::set_tmr_Enabled(bool enabled) {
    if (enabled && !tmr_.isActive()) {
        tmr_.start(TIMER_INTERVAL_MS, Qt::PreciseTimer, this);
    } else if (!enabled) {
        tmr_.stop();
    }
}

bool MainWindow::frm_winlose_Visible() {
    return false;
}

void MainWindow::set_frm_winlose_Visible(bool) {}

bool MainWindow::frm_help_Visible() {
    return false;
}

void MainWindow::set_frm_help_Visible(bool) {}

void MainWindow::set_Caption(ResultLabel, std::string_view) {}

void MainWindow::terminate_program() {
    stopped_ = true;
    tmr_.stop();
    QCoreApplication::exit(0);
}

template <typename Handler>
void MainWindow::run_game(Handler&& handler) {
    if (stopped_) return;
    try {
        handler();
    } catch (const GameFault& fault) {
        stopped_ = true;
        tmr_.stop();
        QMessageBox::critical(this, "Quenmar", QString::fromStdString(fault.what()));
        QCoreApplication::exit(FAULT_EXIT_STATUS);
        return;
    }
    const DirtyBox box = surface_take_dirty(surface_);
    if (box.right >= box.left) {
        update(box.left, box.top, box.right - box.left + 1, box.bottom - box.top + 1);
    }
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (surface_.width == 0 || surface_.height == 0) return;
    const QImage picture(reinterpret_cast<const uchar*>(surface_.pixels.data()), surface_.width,
                         surface_.height, surface_.width * 4, QImage::Format_RGB32);
    painter.drawImage(event->rect(), picture, event->rect());
}

void MainWindow::resizeEvent(QResizeEvent*) {
    surface_resize(surface_, width(), height());
    surface_take_dirty(surface_);
    update();
}

void MainWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() != tmr_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    run_game([this] { on_tick(world_, *this); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window has no close box; a close request from the window system
    // ends the program.
    event->accept();
    terminate_program();
}
