// Everything the game asks of the window system, the drawing surface, the
// timer and the random source. The game's own code reaches the outside world
// only through this interface: the Qt main window implements it for play, the
// headless platform for tests and tools.
#pragma once

#include <cstdint>
#include <string_view>

using ColourValue = std::int32_t;  // red + 256 * green + 65536 * blue

// The battle window's drawing area at its design size, in drawing units.
constexpr int DESIGN_WIDTH = 723;
constexpr int DESIGN_HEIGHT = 651;

// The texts of the main window's Tag: the next-level request and its absence.
constexpr std::string_view TAG_NEXT_LEVEL = "1";
constexpr std::string_view TAG_NO_REQUEST = "0";

// The two captions of the result window that the game replaces.
enum class ResultLabel { Label3, Label4 };

// red + 256 * green + 65536 * blue; each component 0..255.
ColourValue make_colour(std::int16_t red, std::int16_t green, std::int16_t blue);

class Platform {
  public:
    virtual ~Platform() = default;

    // Drawing surface of the main window. Coordinates are drawing units,
    // origin top left, x right, y down; everything is clipped to the area.

    // Fills the whole drawing area with white.
    virtual void clear_surface() = 0;
    // Segment from (x1, y1) to (x2, y2); (x2, y2) becomes the current point.
    virtual void draw_line(float x1, float y1, float x2, float y2, ColourValue colour) = 0;
    // Segment from the current point to (x2, y2), which becomes the current point.
    virtual void draw_line_on(float x2, float y2, ColourValue colour) = 0;
    // Outline of a circle about (x, y).
    virtual void draw_circle(float x, float y, float radius, ColourValue colour) = 0;
    // Current width and height of the drawing area, read anew at every use.
    virtual float ScaleWidth() = 0;
    virtual float ScaleHeight() = 0;
    // The window was resized: the drawing area takes the new size in drawing
    // units; what was drawn stays where it was and new area is white.
    virtual void resize_surface(int width, int height) = 0;

    // The main window's free text property; carries the next-level request
    // (TAG_NEXT_LEVEL or TAG_NO_REQUEST).
    virtual std::string_view Tag() = 0;
    virtual void set_Tag(std::string_view text) = 0;

    // The 25 ms timer `tmr`: while enabled, each period runs one tick.
    virtual bool tmr_Enabled() = 0;
    virtual void set_tmr_Enabled(bool enabled) = 0;

    // The result window `frm_winlose` and the help window `frm_help`: shown
    // without blocking the main window, hidden without being destroyed. The
    // first reference to a window creates it, hidden.
    virtual bool frm_winlose_Visible() = 0;
    virtual void set_frm_winlose_Visible(bool visible) = 0;
    virtual bool frm_help_Visible() = 0;
    virtual void set_frm_help_Visible(bool visible) = 0;
    // Replaces the text of Label3 or Label4 of the result window.
    virtual void set_Caption(ResultLabel label, std::string_view text) = 0;

    // Ends the program: every window closes and no further event is handled.
    // The caller does nothing after it.
    virtual void terminate_program() = 0;

    // The next number r of the program-wide sequence, 0 <= r < 1.
    virtual float next_random() = 0;
    // Restarts the sequence from a seed taken from the clock.
    virtual void reseed_random() = 0;
};
