#include "support/process.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <set>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

RuntimeCopy::RuntimeCopy(const std::string& name)
{
    char pattern[] = "/tmp/crumbrise-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("cannot make a temporary folder");
    root = std::string(pattern) + "/" + name;
    fs::copy(CRUMBRISE_RUNTIME_DIR, root, fs::copy_options::recursive);
}

RuntimeCopy::~RuntimeCopy()
{
    std::error_code ignored;
    fs::remove_all(fs::path(root).parent_path(), ignored);
}

std::string RuntimeCopy::path(const std::string& relative) const
{
    return relative.empty() ? root : root + "/" + relative;
}

void RuntimeCopy::write(const std::string& relative, const std::string& content) const
{
    std::ofstream file(path(relative), std::ios::binary | std::ios::trunc);
    file << content;
}

void RuntimeCopy::remove(const std::string& relative) const
{
    fs::remove(path(relative));
}

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The process that owns a window, as its toolkit declares it; 0 if it does not.
long windowProcess(Display* display, Window window)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long owner = 0;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success && data != nullptr) {
        if (format == 32 && count == 1)
            owner = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return owner;
}

// Windows of other programs on the test display come and go while the tree
// is walked; asking about one that has just gone is an error, which Xlib's
// own handler answers by ending the test. A window that has gone is simply
// not the one looked for.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

// Other programs on the test display may show a window with the same title
// (autoplay runs beside these tests), so the window must also be this game's.
unsigned long findWindow(Display* display, Window window, const std::string& title, pid_t owner)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name != nullptr) {
        const bool match = title == name && windowProcess(display, window) == owner;
        XFree(name);
        if (match)
            return window;
    }
    Window root, parent;
    Window* children = nullptr;
    unsigned int count = 0;
    unsigned long found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && found == 0; ++i)
            found = findWindow(display, children[i], title, owner);
        if (children != nullptr)
            XFree(children);
    }
    return found;
}

} // namespace

GameProcess::GameProcess(const std::string& directory, const std::map<std::string, std::string>& environment,
                         const std::string& program)
{
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        throw std::runtime_error("pipe failed");
    pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        close(out[0]);
        close(err[0]);
        if (chdir(directory.c_str()) != 0)
            _exit(127);
#ifdef CRUMBRISE_KEEP_MODULES
        // Mesa's driver is unloaded when the window closes; kept loaded, its
        // allocations stay nameable and the suppressions can match them.
        setenv("LD_PRELOAD", CRUMBRISE_KEEP_MODULES, 1);
        const char* asan = std::getenv("ASAN_OPTIONS");
        setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
#endif
        // The tester's own settings in ~/.config stay out of the test: the
        // game reads the config.conf of its folder unless a test says otherwise.
        setenv("XDG_CONFIG_HOME", (directory + "/no-player-config").c_str(), 1);
        for (const auto& [key, value] : environment)
            setenv(key.c_str(), value.c_str(), 1);
        const std::string binary = program.empty() ? directory + "/crumbrise" : program;
        execl(binary.c_str(), "crumbrise", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    outFd = out[0];
    errFd = err[0];
    fcntl(outFd, F_SETFL, O_NONBLOCK);
    fcntl(errFd, F_SETFL, O_NONBLOCK);
}

GameProcess::~GameProcess()
{
    if (!finished)
        finish(0.0);
}

void GameProcess::drain()
{
    char buffer[4096];
    for (auto [fd, text] : {std::pair<int, std::string*>{outFd, &result.out}, {errFd, &result.err}}) {
        ssize_t n;
        while (fd >= 0 && (n = read(fd, buffer, sizeof buffer)) > 0)
            text->append(buffer, static_cast<size_t>(n));
    }
}

bool GameProcess::running()
{
    drain();
    if (finished)
        return false;
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
        finished = true;
        result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        drain();
        return false;
    }
    return true;
}

unsigned long GameProcess::waitForWindow(const std::string& title, double seconds)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 0;
    const XErrorHandler previous = XSetErrorHandler(ignoreXError);
    const auto start = std::chrono::steady_clock::now();
    unsigned long window = 0;
    while (window == 0 && running() && secondsSince(start) < seconds) {
        window = findWindow(display, DefaultRootWindow(display), title, pid);
        if (window == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(display);
    XSetErrorHandler(previous);
    return window;
}

bool GameProcess::waitForOutput(const std::string& text, int count, double seconds)
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const bool alive = running();
        int found = 0;
        for (size_t at = result.out.find(text); at != std::string::npos; at = result.out.find(text, at + text.size()))
            ++found;
        if (found >= count)
            return true;
        if (!alive || secondsSince(start) >= seconds)
            return false;
        pollfd fds[1] = {{outFd, POLLIN, 0}};
        poll(fds, 1, 20);
    }
}

void GameProcess::holdKey(const std::string& keysym, double seconds)
{
    const std::string down = "xdotool keydown " + keysym;
    const std::string up = "xdotool keyup " + keysym;
    if (std::system(down.c_str()) != 0)
        throw std::runtime_error("xdotool failed: " + down);
    const auto start = std::chrono::steady_clock::now();
    while (running() && secondsSince(start) < seconds)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (std::system(up.c_str()) != 0)
        throw std::runtime_error("xdotool failed: " + up);
}

void GameProcess::mouseButton(int button, bool down)
{
    const std::string command = std::string("xdotool ") + (down ? "mousedown " : "mouseup ") + std::to_string(button);
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("xdotool failed: " + command);
}

void GameProcess::requestClose(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
}

GameResult GameProcess::finish(double seconds)
{
    const auto start = std::chrono::steady_clock::now();
    while (running() && secondsSince(start) < seconds) {
        pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
        poll(fds, 2, 20);
    }
    if (!finished) {
        result.timedOut = true;
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        finished = true;
        drain();
    }
    close(outFd);
    close(errFd);
    outFd = errFd = -1;
    return result;
}

GameResult runGame(const std::string& directory, double seconds, const std::map<std::string, std::string>& environment)
{
    GameProcess game(directory, environment);
    return game.finish(seconds);
}

std::vector<unsigned char> windowPicture(unsigned long window, int width, int height)
{
    std::vector<unsigned char> rgb;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return rgb;
    if (XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap)) {
        rgb.reserve(static_cast<std::size_t>(width * height * 3));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                rgb.push_back(static_cast<unsigned char>((pixel & image->red_mask) >> 16));
                rgb.push_back(static_cast<unsigned char>((pixel & image->green_mask) >> 8));
                rgb.push_back(static_cast<unsigned char>(pixel & image->blue_mask));
            }
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return rgb;
}

std::vector<unsigned char> waitForDrawnPicture(unsigned long window, int width, int height, double seconds)
{
    const auto start = std::chrono::steady_clock::now();
    do {
        std::vector<unsigned char> picture = windowPicture(window, width, height);
        std::set<std::uint32_t> colours;
        for (std::size_t i = 0; i + 2 < picture.size() && colours.size() <= 1000; i += 3)
            colours.insert(static_cast<std::uint32_t>(picture[i] << 16 | picture[i + 1] << 8 | picture[i + 2]));
        if (colours.size() > 1000)
            return picture;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (secondsSince(start) < seconds);
    return {};
}

WindowSize windowSize(unsigned long window)
{
    WindowSize size;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return size;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes)) {
        size.width = attributes.width;
        size.height = attributes.height;
    }
    XCloseDisplay(display);
    return size;
}

OtherClientWindow::OtherClientWindow()
{
    Display* x = XOpenDisplay(nullptr);
    display = x;
    if (x == nullptr)
        return;
    const int screen = DefaultScreen(x);
    const int side = 60;
    window = XCreateSimpleWindow(x, RootWindow(x, screen), DisplayWidth(x, screen) - side,
                                 DisplayHeight(x, screen) - side, side, side, 0, BlackPixel(x, screen),
                                 WhitePixel(x, screen));
    XSelectInput(x, window, StructureNotifyMask);
    XMapWindow(x, window);
    // Only a mapped window can take the focus.
    XEvent event;
    do
        XNextEvent(x, &event);
    while (event.type != MapNotify);
}

OtherClientWindow::~OtherClientWindow()
{
    if (display == nullptr)
        return;
    Display* x = static_cast<Display*>(display);
    XDestroyWindow(x, window);
    XCloseDisplay(x);
}

} // namespace testsupport
