// The battle window: frameless, its whole client area the drawing surface.
// It owns the picture and the timer, shows the picture, turns Qt's events
// into input records for the game and implements the platform for it.
#pragma once

#include <QBasicTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/random_source.h"
#include "base/world.h"
#include "drawing/surface.h"
#include "input/input_event.h"

class ResultWindow;
class HelpWindow;

// Where the battle window opens on a screen whose free area is `available`:
// at its design size where that fits, otherwise as large as fits, and
// centred on the area.
QRect fitted_geometry(const QRect& available);

class MainWindow : public QWidget, public Platform {
  public:
    static constexpr int TIMER_INTERVAL_MS = 25;

    explicit MainWindow(GameWorld& world);

    void clear_surface() override;
    void draw_line(float x1, float y1, float x2, float y2, ColourValue colour) override;
    void draw_line_on(float x2, float y2, ColourValue colour) override;
    void draw_circle(float x, float y, float radius, ColourValue colour) override;
    float ScaleWidth() override;
    float ScaleHeight() override;
    void resize_surface(int width, int height) override;
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

    // One tick of the battle, as each timer period runs it.
    void tick();
    // Hands one input record to the game, from this window or a small one.
    void deliver(const InputEvent& event);
    // Whether a fault stopped the game; the program then ends with FAULT_EXIT_STATUS.
    bool faulted() const { return faulted_; }

    const Surface& surface() const { return surface_; }
    // The small windows, created hidden on first use.
    ResultWindow& frm_winlose();
    HelpWindow& frm_help();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Runs game code, then schedules a repaint of what it drew. Any exception
    // stops the game: no exception crosses Qt's event loop.
    template <typename GameCode>
    void run_game(GameCode&& code);
    // Stops the timer and every handler, writes the fault to standard error
    // and shows it; closing the message ends the program with FAULT_EXIT_STATUS.
    void stop_on_fault(const std::string& message);
    QRect units_covering(const DirtyBox& box) const;

    GameWorld& world_;
    Surface surface_;
    std::vector<DirtyBox> dirty_strips_;  // what the last game code changed, to repaint
    int area_width_ = 0;                   // the drawing area, drawing units
    int area_height_ = 0;
    QBasicTimer tmr_;
    std::string tag_{TAG_NO_REQUEST};
    RandomSource random_;
    ResultWindow* frm_winlose_ = nullptr;
    HelpWindow* frm_help_ = nullptr;
    bool stopped_ = false;  // after a fault or terminate_program, no game code runs
    bool faulted_ = false;
};
