// The battle window: frameless, its whole client area the drawing surface.
// It owns the picture and the timer, shows the picture, turns Qt's events
// into the game's handlers and implements the platform for them.
#pragma once

#include <QBasicTimer>
#include <QWidget>
#include <string>

#include "core/world.h"
#include "display/platform.h"
#include "display/random_source.h"
#include "display/surface.h"

class ResultWindow;
class HelpWindow;

class MainWindow : public QWidget, public Platform {
  public:
    static constexpr int DESIGN_WIDTH = 723;
    static constexpr int DESIGN_HEIGHT = 651;
    static constexpr int TIMER_INTERVAL_MS = 25;

    explicit MainWindow(GameWorld& world);

    void clear_surface() override;
    void draw_line(float x1, float y1, float x2, float y2, ColourValue colour) override;
    void draw_line_on(float x2, float y2, ColourValue colour) override;
    void draw_circle(float x, float y, float radius, ColourValue colour) override;
    float ScaleWidth() override;
    float ScaleHeight() override;
    std::string_view Tag() override { return tag_; }
    void set_Tag(std::string_view text) override { tag_ = text; }
    bool tmr_Enabled() override { return tmr_.isActive(); }
    void set_tmr_Enabled(bool enabled) override;
    bool frm_winlose_Visible() override;
    void set_frm_winlose_Visible(bool visible) override;
    bool frm_help_Visible() override;
    void set_frm_help_Visible(bool visible) override;
    void set_Caption(ResultLabel label, std::string_view text) override;
    void terminate_program() override;
    float next_random() override { return random_next(random_); }
    void reseed_random() override { random_seed_from_clock(random_); }

    const Surface& surface() const { return surface_; }
    // The small windows, created hidden on first use.
    ResultWindow& frm_winlose();
    HelpWindow& frm_help();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // Runs one game handler, then schedules a repaint of what it drew. A
    // GameFault stops the program with a message box.
    template <typename Handler>
    void run_game(Handler&& handler);

    GameWorld& world_;
    Surface surface_;
    QBasicTimer tmr_;
    std::string tag_ = "0";
    RandomSource random_;
    ResultWindow* frm_winlose_ = nullptr;
    HelpWindow* frm_help_ = nullptr;
    bool stopped_ = false;  // after a fault or terminate_program, no handler runs
};
