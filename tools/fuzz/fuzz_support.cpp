#include "fuzz_support.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <unistd.h>

// The targets link with --wrap for frosk::fatalExit: every call the game
// makes to it lands here. The exception unwinds through the loader, whose
// importers and buffers are RAII, back to the target.
extern "C" [[noreturn]] void __wrap__ZN5frosk9fatalExitEi(int status)
{
    throw fuzz::FatalExit{status};
}

namespace fuzz {

const std::string& workDirectory()
{
    static const std::string directory = [] {
        char name[] = "/tmp/crumbrise-fuzz-XXXXXX";
        if (mkdtemp(name) == nullptr) {
            std::perror("mkdtemp");
            std::exit(2);
        }
        namespace fs = std::filesystem;
        for (const char* data : {"Shader", "Textures"})
            fs::create_directory_symlink(fs::path(CRUMBRISE_RUNTIME_DIR) / data, fs::path(name) / data);
        for (const char* own : {"Sounds", "Fonts", "Models", "Images"})
            fs::create_directory(fs::path(name) / own);
        fs::current_path(name);
        // Kept apart from `directory`, which is destroyed before this runs.
        static char removed[sizeof name];
        std::copy(name, name + sizeof name, removed);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removed, ignored);
        });
        return std::string(name);
    }();
    return directory;
}

std::string writeInput(const std::string& relativePath, const std::uint8_t* data, std::size_t size)
{
    workDirectory();
    std::ofstream file(relativePath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return relativePath;
}

void openGlContext()
{
    if (!glfwInit()) {
        std::fprintf(stderr, "fuzz: glfwInit failed; GL targets run under an X server (xvfb-run)\n");
        std::exit(2);
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(800, 600, "Crumbrise fuzz", nullptr, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "fuzz: no OpenGL 3.3 core context\n");
        std::exit(2);
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "fuzz: glewInit failed\n");
        std::exit(2);
    }
    glGetError();
}

void quietStandardOutput()
{
    const char* verbose = std::getenv("CRUMBRISE_FUZZ_VERBOSE");
    if (verbose != nullptr && *verbose != '\0' && *verbose != '0')
        return;
    std::cout.flush();
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        std::perror("fuzz: /dev/null");
}

} // namespace fuzz
