#pragma once

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <string>

namespace testsupport {

constexpr int contextWidth = 800;
constexpr int contextHeight = 600;

// The hidden 800x600 window with a current OpenGL 3.3 core context that every
// GL test of a process shares, opened on the test run's X server on first use.
// Returns null and explains why in `error` when there is none to be had.
GLFWwindow* sharedGlWindow(std::string* error = nullptr);

// Fixture for tests that draw: the shared context is current, the default
// framebuffer bound and GL's error flag clear when a test begins. A test that
// finds no display fails with the reason; nothing is skipped.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    GLFWwindow* window = nullptr;
};

// Every GL error raised since the last call, as text ("" when there was none).
std::string glErrors();

} // namespace testsupport
