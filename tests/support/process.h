#pragma once

#include <map>
#include <string>
#include <vector>

namespace testsupport {

// A copy of the build's runtime root (game binary, shaders, data) in a fresh
// temporary folder, for tests that break or remove files. Removed on destruction.
class RuntimeCopy {
public:
    explicit RuntimeCopy(const std::string& name);
    ~RuntimeCopy();
    RuntimeCopy(const RuntimeCopy&) = delete;
    RuntimeCopy& operator=(const RuntimeCopy&) = delete;

    std::string path(const std::string& relative = std::string()) const;
    void write(const std::string& relative, const std::string& content) const;
    void remove(const std::string& relative) const;

    std::string root;
};

struct GameResult {
    int exitStatus = -1;  // 0..255 as the shell sees it; -1 when killed by a signal
    bool timedOut = false;
    std::string out;      // standard output
    std::string err;      // standard error
};

// The game binary running in its own process, started from `directory` with
// standard input from /dev/null, the extra environment given and the test's
// X display. The program is the `crumbrise` in `directory` unless another is
// named. XDG_CONFIG_HOME points at a folder that does not exist unless the
// environment given sets it. Killed when destroyed if it is still running.
class GameProcess {
public:
    GameProcess(const std::string& directory, const std::map<std::string, std::string>& environment = {},
                const std::string& program = std::string());
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Waits until this game's window shows this exact title; 0 on time-out or
    // when the game ended first.
    unsigned long waitForWindow(const std::string& title, double seconds);
    // Holds a key down for `seconds`, or until the game has ended, whichever
    // comes first, then lets go. The game sees a key only if it is still down
    // when a frame polls, and a frame on a software renderer can be slow.
    void holdKey(const std::string& keysym, double seconds = 0.5);
    // Waits until standard output holds `text` at least `count` times; false
    // on time-out or when the game ended first.
    bool waitForOutput(const std::string& text, int count, double seconds);
    // Presses or releases a mouse button (1 = left) where the pointer is.
    static void mouseButton(int button, bool down);
    // Asks the window to close, as a window manager's close button does.
    void requestClose(unsigned long window);
    bool running();
    // Waits for the exit (killing the game after `seconds`) and collects its output.
    GameResult finish(double seconds);

private:
    void drain();

    int pid = -1;
    int outFd = -1;
    int errFd = -1;
    GameResult result;
    bool finished = false;
};

// Runs the game from `directory` until it exits by itself or `seconds` pass.
GameResult runGame(const std::string& directory, double seconds,
                   const std::map<std::string, std::string>& environment = {});

// The top-left `width` x `height` pixels of a window as the X server shows
// them, RGB rows from the top; empty when they cannot be read.
std::vector<unsigned char> windowPicture(unsigned long window, int width, int height);

// Waits until the window shows a drawn frame of the game (a picture of more
// than a thousand colours, where a window not yet drawn to is one colour) and
// returns that picture, as windowPicture does; empty after `seconds`. The
// title shows before the level is built, which takes a while on a CPU
// renderer, and longer in a sanitizer build.
std::vector<unsigned char> waitForDrawnPicture(unsigned long window, int width, int height, double seconds);

// The size of a window as the X server has it; (0, 0) when it cannot be read.
struct WindowSize {
    int width = 0;
    int height = 0;
};
WindowSize windowSize(unsigned long window);

// A small window of another client on the test's display, in the screen's
// bottom-right corner, away from the game's window, for taking the input
// focus from the game (`xdotool windowfocus`).
class OtherClientWindow {
public:
    OtherClientWindow();
    ~OtherClientWindow();
    OtherClientWindow(const OtherClientWindow&) = delete;
    OtherClientWindow& operator=(const OtherClientWindow&) = delete;

    unsigned long id() const { return window; }

private:
    void* display = nullptr;
    unsigned long window = 0;
};

} // namespace testsupport
