#include "x11_session.h"

#include <filesystem>

// Xlib's macros (Status, None, ...) clash with Qt's names: include it last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

extern char** environ;

namespace {

pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env,
            const posix_spawn_file_actions_t* actions = nullptr) {
    // The caller's display and scale never leak into what runs on the test server.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> env_text(extra_env);
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string variable(*e);
        if (variable.rfind("DISPLAY=", 0) != 0 && variable.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
            variable.rfind("QT_", 0) != 0) {
            env_text.push_back(variable);
        }
    }
    std::vector<char*> env;
    for (std::string& e : env_text)
        env.push_back(e.data());
    env.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], actions, nullptr, args.data(), env.data()) != 0) return -1;
    return pid;
}

}  // namespace

bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
}

namespace {

// Asks a helper program to end, and ends it if it has not within 3 s.
void stop(pid_t pid) {
    kill(pid, SIGTERM);
    if (!wait_until([&] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 3s)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

// A window that went away between finding it and asking about it is no
// reason to end the test program: the question simply finds nothing.
int ignore_x_error(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

X11Session::X11Session(QSize screen, bool window_manager) {
    XSetErrorHandler(ignore_x_error);
    static int sessions = 0;
    state_home_ = (std::filesystem::temp_directory_path() /
                   ("quenmar-state-" + std::to_string(getpid()) + "-" + std::to_string(++sessions)))
                      .string();
    std::filesystem::create_directories(state_home_);
    // Xvfb picks a free display and writes its number to our pipe.
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const std::string size =
        std::to_string(screen.width()) + "x" + std::to_string(screen.height()) + "x24";
    server_ = spawn(
        {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", size, "-nolisten", "tcp"},
        {}, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string number;
    char c = 0;
    while (server_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) return;
    name_ = ":" + number;
    wait_until([&] { return (display_ = XOpenDisplay(name_.c_str())) != nullptr; }, 10s);
    if (display_ == nullptr || !window_manager) return;
    window_manager_ = spawn({"openbox", "--sm-disable"}, {"DISPLAY=" + name_});
    // Openbox names itself on the root window before it enters its event
    // loop, and a window mapped before then can be left unmanaged. It is
    // ready when it answers a request: the frame extents of a window it does
    // not manage yet. Each poll asks again, since asking also wakes it.
    const Window probe =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    const bool managing = wait_until(
        [&] {
            XEvent ask{};
            ask.xclient.type = ClientMessage;
            ask.xclient.window = probe;
            ask.xclient.message_type = XInternAtom(display_, "_NET_REQUEST_FRAME_EXTENTS", False);
            ask.xclient.format = 32;
            XSendEvent(display_, DefaultRootWindow(display_), False,
                       SubstructureRedirectMask | SubstructureNotifyMask, &ask);
            return has_property(probe, "_NET_FRAME_EXTENTS");
        },
        10s);
    XDestroyWindow(display_, probe);
    if (!managing) {
        XCloseDisplay(display_);
        display_ = nullptr;
    }
}

X11Session::~X11Session() {
    for (pid_t pid : launched_) {
        if (kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(state_home_, ignored);
    if (display_ != nullptr) XCloseDisplay(display_);
    if (window_manager_ > 0) stop(window_manager_);
    if (server_ > 0) stop(server_);
}

pid_t X11Session::launch(const std::string& program, const std::vector<std::string>& env,
                         const std::string& error_file) {
    return launch(std::vector<std::string>{program}, env, error_file);
}

pid_t X11Session::launch(const std::vector<std::string>& command,
                         const std::vector<std::string>& env, const std::string& error_file) {
    std::vector<std::string> all_env(env);
    all_env.push_back("DISPLAY=" + name_);
    all_env.push_back("XDG_STATE_HOME=" + state_home_);
    // Settings of their own, and no sound server unless the test gives one.
    all_env.push_back("XDG_CONFIG_HOME=" + state_home_ + "/config");
    all_env.push_back("PULSE_SERVER=unix:" + state_home_ + "/no-sound-server");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, error_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const pid_t pid = spawn(command, all_env, &actions);
    posix_spawn_file_actions_destroy(&actions);
    if (pid > 0) launched_.push_back(pid);
    return pid;
}

std::optional<int> X11Session::wait_exit(pid_t pid, std::chrono::milliseconds timeout) {
    int status = 0;
    const bool ended = wait_until([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeout);
    if (!ended) return std::nullopt;
    std::erase(launched_, pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

namespace {

// A window's name, as _NET_WM_NAME (UTF-8) or WM_NAME gives it.
std::string name_of(Display* display, Window window) {
    XTextProperty text{};
    std::string name;
    if ((XGetTextProperty(display, window, &text, XInternAtom(display, "_NET_WM_NAME", False)) ||
         XGetWMName(display, window, &text)) &&
        text.value != nullptr) {
        name.assign(reinterpret_cast<const char*>(text.value), text.nitems);
        XFree(text.value);
    }
    return name;
}

}  // namespace

std::string X11Session::window_name(XWindow window) {
    return name_of(display_, window);
}

std::optional<XWindow> X11Session::find_window(const std::string& name, bool prefix) {
    XSync(display_, False);
    // A window manager puts each window inside a frame of its own: look
    // through the whole tree, top-level windows and those inside frames.
    std::vector<Window> pending = {DefaultRootWindow(display_)};
    while (!pending.empty()) {
        const Window parent_window = pending.back();
        pending.pop_back();
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display_, parent_window, &root, &parent, &children, &count) == 0) continue;
        std::optional<XWindow> found;
        for (unsigned int i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes;
            const std::string named = name_of(display_, children[i]);
            if ((prefix ? named.starts_with(name) : named == name) &&
                XGetWindowAttributes(display_, children[i], &attributes) &&
                attributes.map_state == IsViewable) {
                found = children[i];
            }
            if (parent_window == DefaultRootWindow(display_)) pending.push_back(children[i]);
        }
        if (children != nullptr) XFree(children);
        if (found) return found;
    }
    return std::nullopt;
}

QRect X11Session::geometry(XWindow window) {
    XWindowAttributes a;
    XGetWindowAttributes(display_, window, &a);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return QRect(x, y, a.width, a.height);
}

bool X11Session::has_frame_decorations(XWindow window) {
    // Qt asks window managers for no decorations through the Motif hints.
    const Atom hints = XInternAtom(display_, "_MOTIF_WM_HINTS", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, hints, 0, 5, False, hints, &type, &format, &items,
                           &left, &data) != Success ||
        data == nullptr) {
        return true;
    }
    const auto* values = reinterpret_cast<const long*>(data);
    constexpr long DECORATIONS_FLAG = 2;
    const bool decorated = items < 3 || !(values[0] & DECORATIONS_FLAG) || values[2] != 0;
    XFree(data);
    return decorated;
}

QImage X11Session::grab(XWindow window) {
    const QRect g = geometry(window);
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), g.x(), g.y(),
                              static_cast<unsigned>(g.width()), static_cast<unsigned>(g.height()),
                              AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    QImage picture(g.width(), g.height(), QImage::Format_RGB32);
    for (int y = 0; y < g.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < g.width(); ++x) {
            line[x] = 0xFF000000u | static_cast<QRgb>(XGetPixel(image, x, y) & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
    return picture;
}

void X11Session::request_close(XWindow window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
}

bool X11Session::xdotool(const std::string& args) {
    const std::string command = "DISPLAY=" + name_ + " xdotool " + args + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

int count_colour(const QImage& picture, QRgb colour) {
    int n = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            n += (line[x] | 0xFF000000u) == (colour | 0xFF000000u);
    }
    return n;
}

QPointF centre_of(const QImage& picture, QRgb colour) {
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if ((picture.pixel(x, y) | 0xFF000000u) == (colour | 0xFF000000u)) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    }
    return n == 0 ? QPointF(-1, -1) : QPointF(sx / n, sy / n);
}

namespace {

std::vector<unsigned long> long_property(Display* display, Window window, const char* name,
                                         Atom type) {
    Atom actual = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
                           &actual, &format, &items, &left, &data) == Success &&
        data != nullptr) {
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        values.assign(longs, longs + items);
        XFree(data);
    }
    return values;
}

}  // namespace

XWindow X11Session::transient_for(XWindow window) {
    Window owner = 0;
    return XGetTransientForHint(display_, window, &owner) != 0 ? owner : 0;
}

bool X11Session::has_atom(XWindow window, const char* property, const char* atom) {
    const Atom wanted = XInternAtom(display_, atom, False);
    for (const unsigned long value : long_property(display_, window, property, XA_ATOM)) {
        if (value == wanted) return true;
    }
    return false;
}

std::vector<XWindow> X11Session::stacking() {
    XSync(display_, False);
    const auto ids = long_property(display_, DefaultRootWindow(display_),
                                   "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    return {ids.begin(), ids.end()};
}

XWindow X11Session::active_window() {
    XSync(display_, False);
    const auto ids =
        long_property(display_, DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return ids.empty() ? 0 : ids.front();
}

bool X11Session::has_property(XWindow window, const char* property) {
    Atom actual = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(display_, window, XInternAtom(display_, property, False), 0, 1, False,
                           AnyPropertyType, &actual, &format, &items, &left, &data);
    if (data != nullptr) XFree(data);
    return status == Success && actual != 0;
}

XWindow X11Session::open_other_window(const std::string& name) {
    const Window window =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 150, 0, 0, 0x808080);
    XStoreName(display_, window, name.c_str());
    XMapWindow(display_, window);
    XFlush(display_);
    wait_until([&] { return find_window(name).has_value(); }, 5s);
    return window;
}

QRect X11Session::frame_geometry(XWindow window) {
    // _NET_FRAME_EXTENTS: left, right, top, bottom
    const auto e = long_property(display_, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (e.size() != 4) return geometry(window);
    return geometry(window).adjusted(-static_cast<int>(e[0]), -static_cast<int>(e[2]),
                                     static_cast<int>(e[1]), static_cast<int>(e[3]));
}

bool X11Session::keyboard_layout(const std::string& layout) {
    return std::system(("setxkbmap -display " + name_ + " " + layout).c_str()) == 0;
}
