#include "effects/bloom.h"

#include "shader/names.h"
#include "shader/shader.h"

#include <algorithm>
#include <cmath>

namespace frosk::effects {

namespace {

// The full-screen quad for one program: the corner in [-1, 1] feeds both
// "position" and "texcoord"; the shaders derive texture coordinates from it.
GLuint quadFor(const Shader* program, GLuint quadBuffer)
{
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    for (const char* name : {attribute::position, attribute::texcoord}) {
        const GLint location = glGetAttribLocation(program->programHandle, name);
        if (location < 0)
            continue;
        glEnableVertexAttribArray(static_cast<GLuint>(location));
        glVertexAttribPointer(static_cast<GLuint>(location), 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return vao;
}

// Texels each blur pass reaches on either side of its own: the shaders' taps.
constexpr int blurReach = 4;

bool overlapOrTouch(const TexelRect& a, const TexelRect& b)
{
    return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1;
}

TexelRect boundingRect(const TexelRect& a, const TexelRect& b)
{
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

} // namespace

int Bloom::blurRepetitions(int windowWidth)
{
    return 3 - static_cast<int>(static_cast<float>(windowWidth) / -800.0f * 2.0f);
}

Bloom::Bloom(Shader* bloomShader, Shader* drawFramebufferShader, Shader* blur1Shader, Shader* blur2Shader,
             int windowWidth, int windowHeight)
    : windowWidth(windowWidth),
      windowHeight(windowHeight),
      halfWidth(windowWidth / 2),
      halfHeight(windowHeight / 2),
      glow(halfWidth, halfHeight, GL_RGB, true),
      blur(halfWidth, halfHeight, GL_RGB, true),
      bloomShader(bloomShader),
      drawFramebufferShader(drawFramebufferShader),
      blur1Shader(blur1Shader),
      blur2Shader(blur2Shader)
{
    const GLfloat quad[8] = {-1, -1, 1, -1, -1, 1, 1, 1};
    glGenBuffers(1, &quadBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    compositeVAO = quadFor(drawFramebufferShader, quadBuffer);
    blur1VAO = quadFor(blur1Shader, quadBuffer);
    blur2VAO = quadFor(blur2Shader, quadBuffer);
}

Bloom::~Bloom()
{
    glDeleteVertexArrays(1, &compositeVAO);
    glDeleteVertexArrays(1, &blur1VAO);
    glDeleteVertexArrays(1, &blur2VAO);
    glDeleteBuffers(1, &quadBuffer);
}

void Bloom::startBrightPass(PassScope& pass)
{
    glowAreas.clear();
    // The blur passes read a little beyond the areas they draw; there the
    // blur target must be as black as the glow.
    pass.into(blur).clear(glm::vec4(0.0f, 0.0f, 0.0f, 0.0f));
    pass.into(glow).clear(glm::vec4(0.0f, 0.0f, 0.0f, 0.0f)).cullBackFaces().opaque();
    glUseProgram(bloomShader->programHandle);
}

// Widened by as far as all of the frame's blur passes spread the glow, and a
// texel more for the rasteriser's rounding. Areas that meet are merged into
// one, so that no texel is blurred twice.
void Bloom::coverFootprint(const glm::vec2& low, const glm::vec2& high)
{
    const int spread = blurReach * blurRepetitions(windowWidth) + 1;
    TexelRect area = texelsCovering(low, high, halfWidth, halfHeight, spread);
    if (area.empty())
        return;
    for (auto other = glowAreas.begin(); other != glowAreas.end();) {
        if (overlapOrTouch(area, *other)) {
            area = boundingRect(area, *other);
            glowAreas.erase(other);
            other = glowAreas.begin();
        } else {
            ++other;
        }
    }
    glowAreas.push_back(area);
}

std::vector<TexelRect> Bloom::blurAreas() const
{
    if (!onlyWhereItGlows)
        return {{0, 0, halfWidth, halfHeight}};
    return glowAreas;
}

// A window pixel takes the glow bilinearly from the two nearest texels each
// way; two pixels more on each side keep odd window sizes inside as well.
std::vector<TexelRect> Bloom::compositeAreas() const
{
    if (!onlyWhereItGlows)
        return {{0, 0, windowWidth, windowHeight}};
    const double scaleX = static_cast<double>(windowWidth) / halfWidth;
    const double scaleY = static_cast<double>(windowHeight) / halfHeight;
    std::vector<TexelRect> areas;
    for (const TexelRect& area : glowAreas)
        areas.push_back({std::max(0, static_cast<int>(std::floor(area.x0 * scaleX)) - 2),
                         std::max(0, static_cast<int>(std::floor(area.y0 * scaleY)) - 2),
                         std::min(windowWidth, static_cast<int>(std::ceil(area.x1 * scaleX)) + 2),
                         std::min(windowHeight, static_cast<int>(std::ceil(area.y1 * scaleY)) + 2)});
    return areas;
}

void Bloom::blurPass(const RenderTarget& target, GLuint sourceTexture, const Shader* program, GLuint quad)
{
    // The quad covers every texel of an area with an opaque colour: nothing
    // to clear, test or blend.
    PassScope pass(windowWidth, windowHeight);
    pass.into(target).withoutDepthTest().opaque();

    glUseProgram(program->programHandle);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, sourceTexture);
    glUniform1i(glGetUniformLocation(program->programHandle, uniform::fboTexture), 0);
    glBindVertexArray(quad);
    for (const TexelRect& area : blurAreas()) {
        pass.onlyWithin(area);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    }
    glBindVertexArray(0);
}

void Bloom::blurPass1()
{
    blurPass(blur, glow.colorTexture, blur1Shader, blur1VAO);
}

void Bloom::blurPass2()
{
    blurPass(glow, blur.colorTexture, blur2Shader, blur2VAO);
}

} // namespace frosk::effects
