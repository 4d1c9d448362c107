// Threads that each hold a run-time loaded library's thread-local block,
// placed on purpose where the sanitizer runtime's guess at the C library's
// block header reads a chunk header instead: 16 bytes past the start of a
// page. The threads are still waiting when the program returns from main, so
// the leak check at exit scans them. Prints how many blocks landed there.
//
//   threads_with_module_tls <library>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr int threadCount = 8;
// malloc(24) and the library's 24-byte block take chunks of the same size
// class; consecutive chunks of a thread lie this far apart.
constexpr std::uintptr_t chunkStep = 48;
constexpr std::uintptr_t pageSize = 4096;
constexpr std::uintptr_t unluckyOffset = 16;

char* (*threadValueOfThisThread)() = nullptr;
std::atomic<int> landed{0};
std::atomic<int> ready{0};

void holdABlockAtTheUnluckyOffset()
{
    // Allocates until the next chunk would start at the unlucky offset, so
    // that the library's block, allocated next, takes it. Consecutive chunks
    // pass every offset a chunk can have within a page in pageSize / 16 steps.
    constexpr std::size_t enough = 2 * pageSize / 16;
    std::vector<void*> spare;
    spare.reserve(enough);
    for (std::size_t i = 0; i < enough; ++i) {
        void* chunk = std::malloc(24);
        spare.push_back(chunk);
        if ((reinterpret_cast<std::uintptr_t>(chunk) + chunkStep) % pageSize == unluckyOffset)
            break;
    }
    const char* block = threadValueOfThisThread();
    if (reinterpret_cast<std::uintptr_t>(block) % pageSize == unluckyOffset)
        ++landed;
    for (void* chunk : spare)
        std::free(chunk);
    ++ready;
    // Waits for no signal until the process ends.
    for (;;)
        pause();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: threads_with_module_tls <library>\n");
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    threadValueOfThisThread = reinterpret_cast<char* (*)()>(dlsym(library, "threadValueOfThisThread"));
    if (threadValueOfThisThread == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    for (int i = 0; i < threadCount; ++i)
        std::thread(holdABlockAtTheUnluckyOffset).detach();
    while (ready < threadCount)
        std::this_thread::yield();
    std::printf("blocks at the unlucky offset: %d of %d\n", landed.load(), threadCount);
    std::fflush(stdout);
    return 0;
}
