#pragma once

#include <cstdio>

namespace autoplay {

// Where the event lines go: one line per event, "<event> key=value ...",
// flushed at once so that a run cut short still shows how far it came.
class EventLog {
public:
    EventLog(std::FILE* out, bool quiet) : out(out), quiet(quiet) {}

    void line(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    // Lines that matter even in a quiet run (failed checks).
    void always(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    bool isQuiet() const { return quiet; }

private:
    std::FILE* out;
    bool quiet;
};

} // namespace autoplay
