#include "display/qt_main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>

#include "core/checked.h"
#include "core/tick.h"
#include "ui/help_window.h"
#include "ui/input.h"
#include "ui/qt_help_window.h"
#include "ui/qt_result_window.h"
#include "ui/result_window.h"

namespace {

constexpr std::int16_t NO_CODE = 0;  // a key the game's handlers ignore

// The game's key code for key down and key up.
std::int16_t key_code(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Left:
            return KEY_LEFT;
        case Qt::Key_Up:
            return KEY_UP;
        case Qt::Key_Right:
            return KEY_RIGHT;
        case Qt::Key_Down:
            return KEY_DOWN;
        case Qt::Key_F1:
            return KEY_F1;
        default:
            return NO_CODE;
    }
}

// The game's character code for key press, NO_CODE for a key without one.
std::int16_t char_code(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return CHAR_ENTER;
        case Qt::Key_Escape:
            return CHAR_ESC;
        default:
            break;
    }
    const QString text = event.text();
    if (text.size() != 1 || text[0].unicode() < 32 || text[0].unicode() > 126) return NO_CODE;
    return static_cast<std::int16_t>(text[0].unicode());
}

std::int16_t shift_state(Qt::KeyboardModifiers modifiers) {
    return static_cast<std::int16_t>((modifiers & Qt::ShiftModifier ? 1 : 0) |
                                     (modifiers & Qt::ControlModifier ? 2 : 0) |
                                     (modifiers & Qt::AltModifier ? 4 : 0));
}

std::int16_t button_code(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return BUTTON_LEFT;
        case Qt::RightButton:
            return BUTTON_RIGHT;
        case Qt::MiddleButton:
            return BUTTON_MIDDLE;
        default:
            return NO_CODE;
    }
}

std::int16_t buttons_held(Qt::MouseButtons buttons) {
    return static_cast<std::int16_t>((buttons & Qt::LeftButton ? BUTTON_LEFT : 0) |
                                     (buttons & Qt::RightButton ? BUTTON_RIGHT : 0) |
                                     (buttons & Qt::MiddleButton ? BUTTON_MIDDLE : 0));
}

}  // namespace

MainWindow::MainWindow(GameWorld& world)
    : QWidget(nullptr, Qt::FramelessWindowHint), world_(world) {
    setWindowTitle("Quenmar");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
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

ResultWindow& MainWindow::frm_winlose() {
    if (frm_winlose_ == nullptr) {
        frm_winlose_ = new ResultWindow(this);
        connect(frm_winlose_->btn_quit, &QPushButton::clicked, this,
                [this] { run_game([this] { on_quit_click(*this); }); });
        connect(frm_winlose_->Command1, &QPushButton::clicked, this,
                [this] { run_game([this] { on_back_click(*this); }); });
        connect(frm_winlose_->Command2, &QPushButton::clicked, this,
                [this] { run_game([this] { on_next_level_click(*this); }); });
    }
    return *frm_winlose_;
}

HelpWindow& MainWindow::frm_help() {
    if (frm_help_ == nullptr) {
        frm_help_ = new HelpWindow(this);
        connect(frm_help_->Command1, &QPushButton::clicked, this,
                [this] { run_game([this] { on_close_click(*this); }); });
    }
    return *frm_help_;
}

namespace {

// Shows a small window, centred over the battle the first time. Hiding one
// gives the keyboard back to the battle, even if the player clicked into it.
void show_small_window(QWidget& window, QWidget& over, bool visible) {
    if (!visible) {
        const bool had_focus = window.isActiveWindow();
        window.hide();
        if (had_focus && over.isVisible()) over.activateWindow();
        return;
    }
    if (!window.testAttribute(Qt::WA_Moved)) {
        window.move(over.geometry().center() - window.rect().center());
    }
    window.show();
}

}  // namespace

bool MainWindow::frm_winlose_Visible() {
    return frm_winlose().isVisible();
}

void MainWindow::set_frm_winlose_Visible(bool visible) {
    show_small_window(frm_winlose(), *this, visible);
}

bool MainWindow::frm_help_Visible() {
    return frm_help().isVisible();
}

void MainWindow::set_frm_help_Visible(bool visible) {
    show_small_window(frm_help(), *this, visible);
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

// X11 turns a held key into repeated release and press pairs: those repeats
// are not new presses or releases, so a held arrow stays held and a held Esc,
// F1 or p does not keep toggling.
void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    const std::int16_t down = key_code(*event), press = char_code(*event);
    if (down == NO_CODE && press == NO_CODE) {
        QWidget::keyPressEvent(event);
        return;
    }
    const std::int16_t shift = shift_state(event->modifiers());
    run_game([&] { on_key_down(world_, *this, down, shift); });
    if (press != NO_CODE) run_game([&] { on_key_press(world_, *this, press); });
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    const std::int16_t up = key_code(*event);
    if (up == NO_CODE) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    run_game([&] { on_key_up(world_, *this, up, shift_state(event->modifiers())); });
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    run_game([&] {
        on_mouse_down(world_, *this, button_code(event->button()), shift_state(event->modifiers()),
                      static_cast<float>(at.x()), static_cast<float>(at.y()));
    });
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    run_game([&] {
        on_mouse_move(world_, *this, buttons_held(event->buttons()),
                      shift_state(event->modifiers()), static_cast<float>(at.x()),
                      static_cast<float>(at.y()));
    });
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    run_game([&] {
        on_mouse_up(world_, *this, button_code(event->button()), shift_state(event->modifiers()),
                    static_cast<float>(at.x()), static_cast<float>(at.y()));
    });
}
