#include "app/pass_timings.h"

#include <GL/glew.h>

#include <deque>

namespace frosk {

namespace {

struct TimedPass {
    std::string name;
    GLuint query;
};
using TimedFrame = std::vector<TimedPass>;

// Frames whose results are not read yet; the GPU may lag a few frames behind.
constexpr std::size_t framesInFlight = 4;

struct Timings {
    bool enabled = false;
    bool passRunning = false;
    TimedFrame current;
    std::deque<TimedFrame> waiting;
    std::vector<GLuint> spareQueries;
    std::vector<PassTiming> last;
};

Timings timings;

GLuint takeQuery()
{
    if (timings.spareQueries.empty()) {
        GLuint query = 0;
        glGenQueries(1, &query);
        return query;
    }
    const GLuint query = timings.spareQueries.back();
    timings.spareQueries.pop_back();
    return query;
}

void giveBack(const TimedFrame& frame)
{
    for (const TimedPass& pass : frame)
        timings.spareQueries.push_back(pass.query);
}

bool finished(const TimedFrame& frame)
{
    for (const TimedPass& pass : frame) {
        GLuint available = GL_FALSE;
        glGetQueryObjectuiv(pass.query, GL_QUERY_RESULT_AVAILABLE, &available);
        if (available == GL_FALSE)
            return false;
    }
    return true;
}

// Waits for any result not there yet.
std::vector<PassTiming> results(const TimedFrame& frame)
{
    std::vector<PassTiming> read;
    for (const TimedPass& pass : frame) {
        GLuint64 nanoseconds = 0;
        glGetQueryObjectui64v(pass.query, GL_QUERY_RESULT, &nanoseconds);
        read.push_back({pass.name, static_cast<double>(nanoseconds) / 1.0e6});
    }
    return read;
}

void deleteQueries()
{
    std::vector<GLuint> all = timings.spareQueries;
    for (const TimedPass& pass : timings.current)
        all.push_back(pass.query);
    for (const TimedFrame& frame : timings.waiting)
        for (const TimedPass& pass : frame)
            all.push_back(pass.query);
    if (!all.empty())
        glDeleteQueries(static_cast<GLsizei>(all.size()), all.data());
}

} // namespace

void enablePassTimings(bool on)
{
    if (on == timings.enabled)
        return;
    if (!on) {
        if (timings.passRunning)
            glEndQuery(GL_TIME_ELAPSED);
        deleteQueries();
        timings = Timings();
    }
    timings.enabled = on;
}

std::vector<PassTiming> lastPassTimings()
{
    if (!timings.enabled)
        return {};
    auto& waiting = timings.waiting;
    // The newest finished frame, or else the newest of all, waited for.
    auto newest = waiting.end();
    for (auto it = waiting.begin(); it != waiting.end(); ++it)
        if (finished(*it))
            newest = it;
    if (newest == waiting.end() && !waiting.empty())
        newest = waiting.end() - 1;
    if (newest != waiting.end()) {
        timings.last = results(*newest);
        const auto done = newest + 1;
        for (auto it = waiting.begin(); it != done; ++it)
            giveBack(*it);
        waiting.erase(waiting.begin(), done);
    }
    return timings.last;
}

void endPassTimingFrame()
{
    if (!timings.enabled || timings.current.empty())
        return;
    timings.waiting.push_back(std::move(timings.current));
    timings.current.clear();
    // Results nobody asked for make way; their queries are used again.
    while (timings.waiting.size() > framesInFlight) {
        giveBack(timings.waiting.front());
        timings.waiting.pop_front();
    }
}

PassTimer::PassTimer(const char* name)
{
    if (!timings.enabled || timings.passRunning)
        return;
    for (const TimedPass& pass : timings.current)
        if (pass.name == name) {
            endPassTimingFrame();
            break;
        }
    const GLuint query = takeQuery();
    glBeginQuery(GL_TIME_ELAPSED, query);
    timings.current.push_back({name, query});
    timings.passRunning = true;
    running = true;
}

PassTimer::~PassTimer()
{
    if (!running || !timings.passRunning)
        return;
    glEndQuery(GL_TIME_ELAPSED);
    timings.passRunning = false;
}

} // namespace frosk
