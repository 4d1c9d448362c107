#pragma once

#include <string>
#include <vector>

namespace bench {

// A sampling profiler of the calling thread's CPU time: a timer on the
// thread's CPU clock interrupts it every `interval` microseconds of CPU used
// while running, and the call stack is recorded. The report attributes each
// sample to the library it was in and to the functions of this program on
// its stack, so time inside the GL driver is charged to the game code that
// called it.
class Sampler {
public:
    explicit Sampler(int intervalMicroseconds = 200);
    ~Sampler();
    Sampler(const Sampler&) = delete;
    Sampler& operator=(const Sampler&) = delete;

    void resume();
    void pause();
    // Report lines, the `top` biggest entries of each table.
    std::vector<std::string> report(int top) const;
    // Fraction of the samples in the game's own code, as of the last report.
    double gameShare() const { return lastGameShare; }

private:
    bool armed = false;
    mutable double lastGameShare = 0.0;
    long intervalNanoseconds;
    void* timer = nullptr;
};

} // namespace bench
