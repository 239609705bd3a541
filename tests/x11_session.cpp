#include "x11_session.h"

// Xlib's macros (Status, None, ...) clash with Qt's names: include it last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
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
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> env_text(extra_env);
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("DISPLAY=", 0) != 0) env_text.emplace_back(*e);
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

X11Session::X11Session() {
    // Xvfb picks a free display and writes its number to our pipe.
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    server_ = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24",
                     "-nolisten", "tcp"},
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
}

X11Session::~X11Session() {
    for (pid_t pid : launched_) {
        if (kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
    }
    if (display_ != nullptr) XCloseDisplay(display_);
    if (server_ > 0) {
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
    }
}

pid_t X11Session::launch(const std::string& program) {
    const pid_t pid = spawn({program}, {"DISPLAY=" + name_});
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

std::optional<XWindow> X11Session::find_window(const std::string& name) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XSync(display_, False);
    if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count) == 0) {
        return std::nullopt;
    }
    std::optional<XWindow> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* window_name = nullptr;
        XWindowAttributes attributes;
        if (XFetchName(display_, children[i], &window_name) != 0 && window_name != nullptr) {
            if (name == window_name && XGetWindowAttributes(display_, children[i], &attributes) &&
                attributes.map_state == IsViewable) {
                found = children[i];
            }
            XFree(window_name);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
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
