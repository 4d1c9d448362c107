#include "support/gl_context.h"

#include <cstdlib>

namespace testsupport {

namespace {

std::string lastGlfwError;

void recordGlfwError(int code, const char* description)
{
    lastGlfwError = "GLFW error " + std::to_string(code) + ": " + description;
}

} // namespace

GLFWwindow* sharedGlWindow(std::string* error)
{
    static GLFWwindow* window = nullptr;
    static std::string failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        glfwSetErrorCallback(recordGlfwError);
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') {
            failure = "no X display: DISPLAY is not set. GL tests run under an X server, "
                      "e.g. xvfb-run -a -s \"-screen 0 1280x720x24\" ctest";
        } else if (!glfwInit()) {
            failure = "glfwInit failed on DISPLAY=" + std::string(display) + ": " + lastGlfwError;
        } else {
            glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
            glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
            glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
            glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
            glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
            window = glfwCreateWindow(contextWidth, contextHeight, "Crumbrise test", nullptr, nullptr);
            if (window == nullptr) {
                failure = "no OpenGL 3.3 core context on DISPLAY=" + std::string(display) + ": " + lastGlfwError;
            } else {
                glfwMakeContextCurrent(window);
                glewExperimental = GL_TRUE;
                if (glewInit() != GLEW_OK) {
                    failure = "glewInit failed";
                    glfwDestroyWindow(window);
                    window = nullptr;
                }
            }
        }
    }
    if (error != nullptr)
        *error = failure;
    return window;
}

std::string glErrors()
{
    std::string text;
    for (GLenum code = glGetError(); code != GL_NO_ERROR; code = glGetError()) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "0x%04x", code);
        text += (text.empty() ? "" : " ") + std::string(buffer);
    }
    return text;
}

void GlTest::SetUp()
{
    std::string error;
    window = sharedGlWindow(&error);
    ASSERT_NE(window, nullptr) << "This test needs OpenGL: " << error;
    glfwMakeContextCurrent(window);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, contextWidth, contextHeight);
    glErrors();
}

void GlTest::TearDown()
{
    if (window != nullptr) {
        EXPECT_EQ(glErrors(), "") << "GL errors left behind by the test";
    }
}

} // namespace testsupport
