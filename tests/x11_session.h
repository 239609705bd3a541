// A virtual X server for end-to-end tests, with a real window manager
// (Openbox) on it, the programs started there, and what a test needs to look
// at them: windows by name, their geometry, picture and window-manager state,
// and real input through XTEST (xdotool).
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
    // Starts Xvfb with a screen of this size on a free display, connects to
    // it and, unless told not to, starts Openbox and waits until it manages.
    explicit X11Session(QSize screen = QSize(1280, 1024), bool window_manager = true);
    ~X11Session();
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    bool ok() const { return display_ != nullptr; }
    const std::string& display_name() const { return name_; }

    // Starts a program on this display, with these extra NAME=value
    // variables; returns its process id. Its standard error goes to `error_file`.
    // Programs keep their state (the game its battle files) and settings in
    // state_home(), and reach no sound server but one the variables name.
    pid_t launch(const std::string& program, const std::vector<std::string>& env = {},
                 const std::string& error_file = "/dev/null");
    pid_t launch(const std::vector<std::string>& command, const std::vector<std::string>& env = {},
                 const std::string& error_file = "/dev/null");
    const std::string& state_home() const { return state_home_; }
    // Waits up to `timeout` for the process to end; its exit status, or none.
    std::optional<int> wait_exit(pid_t pid, std::chrono::milliseconds timeout);

    // The first mapped top-level window with exactly this name, or with a
    // name that starts with it.
    std::optional<XWindow> find_window(const std::string& name, bool prefix = false);
    std::string window_name(XWindow window);
    QRect geometry(XWindow window);
    // The window with the frame its window manager put round it.
    QRect frame_geometry(XWindow window);
    // Sets the keyboard layout of the display ("us", "fr", ...).
    bool keyboard_layout(const std::string& layout);
    bool has_frame_decorations(XWindow window);
    // The window's picture as it shows on the screen.
    QImage grab(XWindow window);
    // Asks the window to close through WM_DELETE_WINDOW, as a window manager does.
    void request_close(XWindow window);

    // The window manager's view: the window a window is transient for (0 for
    // none), whether a window property of atoms holds an atom, the managed
    // windows from bottom to top, and the window that has the keyboard.
    XWindow transient_for(XWindow window);
    bool has_atom(XWindow window, const char* property, const char* atom);
    std::vector<XWindow> stacking();
    XWindow active_window();
    bool has_property(XWindow window, const char* property);
    // Opens a plain window of another program named `name` and waits until
    // the window manager has it mapped.
    XWindow open_other_window(const std::string& name);

    // Runs xdotool with these arguments on this display; true when it succeeded.
    bool xdotool(const std::string& args);

  private:
    _XDisplay* display_ = nullptr;
    pid_t server_ = -1;
    pid_t window_manager_ = -1;
    std::string name_;
    std::string state_home_;
    std::vector<pid_t> launched_;
};

// Pixels of exactly this colour in the picture.
int count_colour(const QImage& picture, QRgb colour);
// The centre of the pixels of this colour; (-1, -1) without any.
QPointF centre_of(const QImage& picture, QRgb colour);
