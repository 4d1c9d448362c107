#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <regex>
#include <string>

// The options the test run gives the sanitizers (tools/crumbrise.sh) against
// what the sanitizer runtime does at exit in every test of this build.
namespace {

struct ProgramRun {
    int exitStatus = -1;
    std::string output;
};

ProgramRun runProgram(const std::string& command)
{
    ProgramRun result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, read);
    const int status = pclose(pipe);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The GL driver's compiler keeps thread-local data in a library loaded at run
// time; where the C library's malloc puts a thread's block of it is chance.
// At 16 bytes past a page start the sanitizer runtime took the chunk header
// before it for a block header of an old C library, and the leak check at
// exit scanned a made-up range and crashed ("Tracer caught signal 11") after
// the test had passed.
TEST(LeakCheck, SurvivesThreadLocalBlocksWhereverTheyLie)
{
    const ProgramRun result = runProgram(std::string(THREADS_WITH_MODULE_TLS) + " " + TLS_MODULE);
    std::smatch landed;
    ASSERT_TRUE(std::regex_search(result.output, landed, std::regex("blocks at the unlucky offset: ([0-9]+)")))
        << result.output;
    EXPECT_GT(std::stoi(landed[1]), 0) << "no block where the crash was: the case is not tested";
    EXPECT_EQ(result.output.find("LeakSanitizer has encountered a fatal error"), std::string::npos) << result.output;
    EXPECT_EQ(result.exitStatus, 0) << result.output;
}

}  // namespace
