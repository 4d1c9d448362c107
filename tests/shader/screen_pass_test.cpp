// The full-screen programs (blur, composite) and the HUD image program, drawn
// into off-screen targets the way the frame drives them.
#include "drawing.h"
#include "shader/shader.h"
#include "support/gl_context.h"
#include "support/offscreen.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace {

using shadertest::Geometry;

// The blur's weights for offsets 0 to 4 texels.
const float gaussian[5] = {0.2270270270f, 0.1945945946f, 0.1216216216f, 0.0540540541f, 0.0162162162f};

class Blur : public testsupport::GlTest {
protected:
    static constexpr int width = 64;
    static constexpr int height = 48;
    static constexpr int spotX = 30;
    static constexpr int spotY = 20;

    // One blur pass of `source` into `target`, with the state the bloom
    // effect leaves around it: blending on and a white, transparent clear.
    void blur(frosk::Shader& shader, GLuint source, const testsupport::OffscreenTarget& target, float blurSize)
    {
        Geometry quad;
        shadertest::fullScreenQuad(quad, shader.programHandle);
        target.clear(glm::vec4(1, 1, 1, 0));
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glUseProgram(shader.programHandle);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, source);
        glUniform1i(glGetUniformLocation(shader.programHandle, "fboTexture"), 0);
        glUniform1f(glGetUniformLocation(shader.programHandle, "blurSize"), blurSize);
        glBindVertexArray(quad.vertexArray);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glBindVertexArray(0);
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
    }

    // A black picture with one white texel.
    GLuint spot() const
    {
        std::vector<unsigned char> rgb(width * height * 3, 0);
        for (int c = 0; c < 3; ++c)
            rgb[static_cast<size_t>((spotY * width + spotX) * 3 + c)] = 255;
        return shadertest::rgbTexture(width, height, rgb);
    }
};

TEST_F(Blur, HorizontalPassSpreadsABrightTexelEvenlyAlongItsRowOnly)
{
    frosk::Shader horizontal("Shader/gaussianblur.vert", "Shader/gaussianblur1.frag");
    const GLuint source = spot();
    testsupport::OffscreenTarget target(width, height);
    blur(horizontal, source, target, 1.0f / width);
    target.savePng("blur_horizontal");

    for (int d = 0; d <= 4; ++d) {
        const float want = gaussian[d] * 255.0f;
        EXPECT_NEAR(target.pixel(spotX + d, spotY).g, want, 1.0f) << "offset " << d;
        EXPECT_EQ(target.pixel(spotX + d, spotY), target.pixel(spotX - d, spotY)) << "offset " << d;
    }
    EXPECT_EQ(target.pixel(spotX + 5, spotY).r, 0);
    EXPECT_EQ(target.pixel(spotX - 5, spotY).r, 0);
    for (int y = 0; y < height; ++y) {
        if (y != spotY) {
            ASSERT_EQ(target.pixel(spotX, y).r, 0) << "row " << y;
        }
    }
    // Opaque everywhere, even where nothing glows.
    EXPECT_EQ(target.pixel(0, 0), glm::u8vec4(0, 0, 0, 255));
    target.unbind();
    glDeleteTextures(1, &source);
}

TEST_F(Blur, BothPassesTogetherMakeARoundSymmetricGlow)
{
    frosk::Shader horizontal("Shader/gaussianblur.vert", "Shader/gaussianblur1.frag");
    frosk::Shader vertical("Shader/gaussianblur.vert", "Shader/gaussianblur2.frag");
    const GLuint source = spot();
    testsupport::OffscreenTarget across(width, height);
    testsupport::OffscreenTarget both(width, height);
    blur(horizontal, source, across, 1.0f / width);
    glBindTexture(GL_TEXTURE_2D, across.colour);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    blur(vertical, across.colour, both, 1.0f / height);
    both.savePng("blur_both");

    // Each value is the product of the two one-dimensional weights (within
    // the rounding of two 8-bit passes), so the glow is the same in all four
    // directions and along both diagonals.
    int total = 0;
    for (int dy = -5; dy <= 5; ++dy)
        for (int dx = -5; dx <= 5; ++dx) {
            const int got = both.pixel(spotX + dx, spotY + dy).r;
            total += got;
            const float want = std::abs(dx) <= 4 && std::abs(dy) <= 4 ? 255.0f * gaussian[std::abs(dx)] * gaussian[std::abs(dy)] : 0.0f;
            EXPECT_NEAR(got, want, 1.01f) << dx << ", " << dy;
            EXPECT_EQ(got, both.pixel(spotX - dx, spotY + dy).r) << dx << ", " << dy;
            EXPECT_EQ(got, both.pixel(spotX + dx, spotY - dy).r) << dx << ", " << dy;
        }
    EXPECT_EQ(both.pixel(spotX + 2, spotY).r, both.pixel(spotX, spotY + 2).r);
    // The weights sum to one: the light is spread, not gained or lost.
    EXPECT_NEAR(total, 255, 12);
    both.unbind();
    glDeleteTextures(1, &source);
}

class Composite : public testsupport::GlTest {};

TEST_F(Composite, GlowIsAddedOverTheSceneWithoutClipping)
{
    frosk::Shader shader("Shader/drawframebuffer.vert", "Shader/drawframebuffer.frag");
    // Left to right: plain scene, glow over black, glow over a bright scene.
    const std::vector<unsigned char> scene = {100, 150, 200, 0, 0, 0, 230, 230, 230};
    const std::vector<unsigned char> glow = {0, 0, 0, 120, 30, 0, 120, 120, 120};
    const GLuint sceneTexture = shadertest::rgbTexture(3, 1, scene);
    const GLuint glowTexture = shadertest::rgbTexture(3, 1, glow);
    Geometry quad;
    shadertest::fullScreenQuad(quad, shader.programHandle);

    testsupport::OffscreenTarget target(3, 1);
    target.clear(glm::vec4(0.5f, 0.5f, 0.5f, 0.0f));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glUseProgram(shader.programHandle);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, sceneTexture);
    glUniform1i(glGetUniformLocation(shader.programHandle, "scene"), 1);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, glowTexture);
    glUniform1i(glGetUniformLocation(shader.programHandle, "fboTexture"), 0);
    glBindVertexArray(quad.vertexArray);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);

    // Without glow the scene comes through unchanged and opaque.
    EXPECT_EQ(target.pixel(0, 0), glm::u8vec4(100, 150, 200, 255));
    // Over black the glow shows in its own hue at 0.9 of its strength, soft
    // enough that a glowing target keeps its rings.
    const glm::u8vec4 onBlack = target.pixel(1, 0);
    EXPECT_NEAR(onBlack.r, 108, 1);
    EXPECT_NEAR(onBlack.g, 27, 1);
    EXPECT_EQ(onBlack.b, 0);
    EXPECT_GT(onBlack.r, 3 * onBlack.g);
    // Over a bright scene it brightens without reaching pure white.
    const glm::u8vec4 onBright = target.pixel(2, 0);
    EXPECT_GT(onBright.r, 230);
    EXPECT_LT(onBright.r, 255);
    target.unbind();
    glDeleteTextures(1, &sceneTexture);
    glDeleteTextures(1, &glowTexture);
    EXPECT_EQ(testsupport::glErrors(), "");
}

class HudImageProgram : public testsupport::GlTest {};

TEST_F(HudImageProgram, DrawsTheImageUprightAtItsPixelRectangle)
{
    frosk::Shader shader("Shader/2d.vert", "Shader/2d.frag");
    const GLuint program = shader.programHandle;
    // An image uploaded as the HUD loads it, bottom row first: the lower
    // half blue, the upper half red.
    std::vector<unsigned char> rgb;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            rgb.insert(rgb.end(), {static_cast<unsigned char>(row < 2 ? 0 : 255), 0,
                                   static_cast<unsigned char>(row < 2 ? 255 : 0)});
    const GLuint texture = shadertest::rgbTexture(4, 4, rgb);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    // The HUD quad: x, y, u, v with y running down the screen from the top.
    const float X = 20, Y = 10, w = 40, h = 40;
    const float vertices[] = {X, Y, 0, 0, X + w, Y, 1, 0, X, Y + h, 0, 1, X + w, Y, 1, 0, X, Y + h, 0, 1, X + w, Y + h, 1, 1};
    Geometry quad;
    glGenVertexArrays(1, &quad.vertexArray);
    glBindVertexArray(quad.vertexArray);
    glGenBuffers(1, &quad.vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, quad.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(vertices), vertices, GL_STATIC_DRAW);
    const GLuint position = static_cast<GLuint>(glGetAttribLocation(program, "position"));
    const GLuint uv = static_cast<GLuint>(glGetAttribLocation(program, "uv"));
    glEnableVertexAttribArray(position);
    glVertexAttribPointer(position, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
    glEnableVertexAttribArray(uv);
    glVertexAttribPointer(uv, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<const void*>(8));
    glBindVertexArray(0);

    const int W = 80, H = 60;
    testsupport::OffscreenTarget target(W, H);
    target.clear(glm::vec4(0, 0, 0, 1));
    glDisable(GL_DEPTH_TEST);
    glUseProgram(program);
    shadertest::setMatrix(program, "orthogonalMatrix", glm::ortho(0.0f, float(W), float(H), 0.0f, -1.0f, 1.0f));
    glUniform1i(glGetUniformLocation(program, "colorTexture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindVertexArray(quad.vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
    glEnable(GL_DEPTH_TEST);

    // Read-back rows run bottom-up: screen row y is read-back row H - 1 - y.
    auto screen = [&](int x, int y) { return target.pixel(x, H - 1 - y); };
    EXPECT_EQ(screen(40, 15), glm::u8vec4(255, 0, 0, 255)) << "top of the image at the top";
    EXPECT_EQ(screen(40, 45), glm::u8vec4(0, 0, 255, 255)) << "bottom of the image at the bottom";
    EXPECT_EQ(screen(19, 30), glm::u8vec4(0, 0, 0, 255));
    EXPECT_EQ(screen(60, 30), glm::u8vec4(0, 0, 0, 255));
    EXPECT_EQ(screen(59, 49), glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(screen(30, 50), glm::u8vec4(0, 0, 0, 255));
    target.unbind();
    glDeleteTextures(1, &texture);
    EXPECT_EQ(testsupport::glErrors(), "");
}

} // namespace
