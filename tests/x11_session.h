// A virtual X server for end-to-end tests, the programs started on it, and
// what a test needs to look at them: windows by name, their geometry and
// picture, and real input through XTEST (xdotool).
#pragma once

#include <sys/types.h>

#include <QImage>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;

using XWindow = unsigned long;  // an X window id, kept apart from Xlib's macros
struct _XDisplay;

// Polls `condition` until it holds or `timeout` has passed.
bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

class X11Session {
  public:
    X11Session();  // starts Xvfb on a free display and connects to it
    ~X11Session();
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    bool ok() const { return display_ != nullptr; }
    const std::string& display_name() const { return name_; }

    // Starts a program on this display; returns its process id.
    pid_t launch(const std::string& program);
    // Waits up to `timeout` for the process to end; its exit status, or none.
    std::optional<int> wait_exit(pid_t pid, std::chrono::milliseconds timeout);

    // The first mapped top-level window with exactly this name.
    std::optional<XWindow> find_window(const std::string& name);
    QRect geometry(XWindow window);
    bool has_frame_decorations(XWindow window);
    // The window's picture as it shows on the screen.
    QImage grab(XWindow window);
    // Asks the window to close through WM_DELETE_WINDOW, as a window manager does.
    void request_close(XWindow window);

    // Runs xdotool with these arguments on this display; true when it succeeded.
    bool xdotool(const std::string& args);

  private:
    _XDisplay* display_ = nullptr;
    pid_t server_ = -1;
    std::string name_;
    std::vector<pid_t> launched_;
};

// Pixels of exactly this colour in the picture.
int count_colour(const QImage& picture, QRgb colour);
// The centre of the pixels of this colour; (-1, -1) without any.
QPointF centre_of(const QImage& picture, QRgb colour);
