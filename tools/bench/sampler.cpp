#include "sampler.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <signal.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>

namespace bench {

namespace {

constexpr int maxDepth = 64;
constexpr int maxSamples = 60000;

struct Stack {
    int depth;
    std::array<void*, maxDepth> frames;
};

// Written only by the signal handler, on the sampled thread.
Stack* stacks = nullptr;
volatile sig_atomic_t sampleCount = 0;

void onSample(int, siginfo_t*, void*)
{
    if (stacks == nullptr || sampleCount >= maxSamples)
        return;
    Stack& stack = stacks[sampleCount];
    stack.depth = backtrace(stack.frames.data(), maxDepth);
    sampleCount = sampleCount + 1;
}

struct Symbol {
    unsigned long address;
    std::string name;
};

// Every function of this program by address, from its symbol table (nm sees
// the local ones too, which the dynamic linker does not).
std::vector<Symbol> programSymbols()
{
    std::vector<Symbol> symbols;
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return symbols;
    path[length] = '\0';
    const std::string command = "nm -C -n --defined-only '" + std::string(path) + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> nm(popen(command.c_str(), "r"), pclose);
    if (!nm)
        return symbols;
    char line[4096];
    while (std::fgets(line, sizeof line, nm.get()) != nullptr) {
        char* end = nullptr;
        const unsigned long address = std::strtoul(line, &end, 16);
        if (end == line || end[0] != ' ' || std::strchr("tTwW", end[1]) == nullptr)
            continue;
        std::string name(end + 3);
        if (!name.empty() && name.back() == '\n')
            name.pop_back();
        symbols.push_back({address, name});
    }
    return symbols;
}

bool sameLibrary(const char* a, const char* b)
{
    return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

std::string shortName(const char* path)
{
    if (path == nullptr)
        return "[no library: generated code]";
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

// Function names cut to a readable width.
std::string clip(std::string name)
{
    for (std::size_t at; (at = name.find("(anonymous namespace)")) != std::string::npos;)
        name.replace(at, 21, "{anon}");
    const std::size_t paren = name.find('(');
    if (paren != std::string::npos && name.size() > 90)
        name = name.substr(0, paren) + "(...)";
    if (name.size() > 90)
        name = name.substr(0, 87) + "...";
    return name;
}

} // namespace

Sampler::Sampler(int intervalMicroseconds) : intervalNanoseconds(intervalMicroseconds * 1000L)
{
    stacks = new Stack[maxSamples];
    sampleCount = 0;
    // The first backtrace loads the unwinder; never in the handler.
    void* warm[4];
    backtrace(warm, 4);

    struct sigaction action {};
    action.sa_sigaction = onSample;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPROF, &action, nullptr);

    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = SIGPROF;
    // glibc names the thread id field only in its own headers.
    event._sigev_un._tid = static_cast<pid_t>(syscall(SYS_gettid));
    auto* id = new timer_t;
    if (timer_create(CLOCK_THREAD_CPUTIME_ID, &event, id) == 0)
        timer = id;
    else
        delete id;
}

Sampler::~Sampler()
{
    pause();
    if (timer != nullptr) {
        timer_delete(*static_cast<timer_t*>(timer));
        delete static_cast<timer_t*>(timer);
    }
    signal(SIGPROF, SIG_IGN);
    delete[] stacks;
    stacks = nullptr;
}

void Sampler::resume()
{
    if (timer == nullptr || armed)
        return;
    itimerspec every{};
    every.it_interval.tv_nsec = intervalNanoseconds;
    every.it_value.tv_nsec = intervalNanoseconds;
    timer_settime(*static_cast<timer_t*>(timer), 0, &every, nullptr);
    armed = true;
}

void Sampler::pause()
{
    if (timer == nullptr || !armed)
        return;
    itimerspec off{};
    timer_settime(*static_cast<timer_t*>(timer), 0, &off, nullptr);
    armed = false;
}

std::vector<std::string> Sampler::report(int top) const
{
    std::vector<std::string> lines;
    const int count = sampleCount;
    if (count == 0) {
        lines.push_back("no samples");
        return lines;
    }
    const std::vector<Symbol> symbols = programSymbols();
    Dl_info self{};
    dladdr(reinterpret_cast<void*>(&programSymbols), &self);
    const auto base = reinterpret_cast<unsigned long>(self.dli_fbase);

    auto libraryOf = [](void* address) {
        Dl_info info{};
        return dladdr(address, &info) != 0 ? info.dli_fname : nullptr;
    };
    auto functionOf = [&](void* address) -> const std::string* {
        const unsigned long offset = reinterpret_cast<unsigned long>(address) - base;
        auto after = std::upper_bound(symbols.begin(), symbols.end(), offset,
                                      [](unsigned long a, const Symbol& s) { return a < s.address; });
        if (after == symbols.begin())
            return nullptr;
        return &(after - 1)->name;
    };

    // C library code works for whoever called it.
    auto helper = [](const std::string& name) {
        return name.rfind("libc.so", 0) == 0 || name.rfind("libm.so", 0) == 0 || name.rfind("libgcc_s", 0) == 0;
    };
    auto gameSide = [&](const std::string& name) {
        return name == "[this program]" || name.rfind("libBullet", 0) == 0 || name.rfind("libLinearMath", 0) == 0 ||
               name.rfind("libstdc++", 0) == 0;
    };
    int gameSamples = 0;
    std::map<std::string, int> byLibrary;
    std::map<std::string, int> selfInProgram;
    std::map<std::string, int> inclusive;
    // Time outside this program, by the innermost function of it that called out.
    std::map<std::string, int> calledOut;
    for (int i = 0; i < count; ++i) {
        const Stack& stack = stacks[i];
        // Frame 0 is the handler, frame 1 the signal trampoline.
        const int innermost = std::min(2, stack.depth - 1);
        const char* library = libraryOf(stack.frames[innermost]);
        const bool inProgram = sameLibrary(library, self.dli_fname);
        byLibrary[inProgram ? "[this program]" : shortName(library)] += 1;
        for (int f = innermost; f < stack.depth; ++f) {
            const char* owner = libraryOf(stack.frames[f]);
            const std::string name = sameLibrary(owner, self.dli_fname) ? "[this program]" : shortName(owner);
            if (helper(name) && f + 1 < stack.depth)
                continue;
            if (gameSide(name))
                ++gameSamples;
            break;
        }
        std::set<std::string> seen;
        bool charged = false;
        for (int f = innermost; f < stack.depth; ++f) {
            if (!sameLibrary(libraryOf(stack.frames[f]), self.dli_fname))
                continue;
            const std::string* function = functionOf(stack.frames[f]);
            if (function == nullptr)
                continue;
            if (f == innermost)
                selfInProgram[*function] += 1;
            else if (!inProgram && !charged) {
                calledOut[*function] += 1;
                charged = true;
            }
            if (seen.insert(*function).second)
                inclusive[*function] += 1;
        }
    }

    auto table = [&](const char* title, const std::map<std::string, int>& counts) {
        std::vector<std::pair<int, std::string>> sorted;
        for (const auto& [name, n] : counts)
            sorted.emplace_back(n, name);
        std::sort(sorted.rbegin(), sorted.rend());
        lines.push_back(title);
        char text[256];
        for (int i = 0; i < top && i < static_cast<int>(sorted.size()); ++i) {
            std::snprintf(text, sizeof text, "  %5.1f%%  %s", 100.0 * sorted[i].first / count,
                          clip(sorted[i].second).c_str());
            lines.push_back(text);
        }
    };
    char header[128];
    std::snprintf(header, sizeof header, "%d samples, one per %.1f ms of main-thread CPU", count,
                  static_cast<double>(intervalNanoseconds) / 1.0e6);
    lines.push_back(header);
    lastGameShare = static_cast<double>(gameSamples) / count;
    std::snprintf(header, sizeof header, "game's own code (this program, Bullet, C and C++ libraries on its behalf): %.1f%%",
                  100.0 * gameSamples / count);
    lines.push_back(header);
    table("where the samples were (innermost frame):", byLibrary);
    table("outside this program, charged to its innermost caller here:", calledOut);
    table("inside this program, self:", selfInProgram);
    table("inside this program, inclusive (on the stack):", inclusive);
    return lines;
}

} // namespace bench
