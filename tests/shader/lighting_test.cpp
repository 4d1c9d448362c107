// The lit mesh programs on simple shapes: toon bands, shadows from a real
// depth pass, and the outline. Each test saves its picture for a person to
// look at (build/screenshots/).
#include "drawing.h"
#include "shader/shader.h"
#include "support/gl_context.h"
#include "support/offscreen.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

namespace {

using shadertest::Geometry;
using shadertest::setMatrix;

constexpr int side = 256;

// A shadow map like the game's: a depth texture with compare mode, drawn
// through its own framebuffer with the depth-pass program.
class ShadowMap {
public:
    explicit ShadowMap(int size) : size(size)
    {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, size, size, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, texture, 0);
        glDrawBuffer(GL_NONE);
        glReadBuffer(GL_NONE);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    ~ShadowMap()
    {
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &texture);
    }
    ShadowMap(const ShadowMap&) = delete;
    ShadowMap& operator=(const ShadowMap&) = delete;

    // Clears the map; the casters are drawn with `depthProgram` until end().
    void begin(GLuint depthProgram) const
    {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glViewport(0, 0, size, size);
        glClear(GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glUseProgram(depthProgram);
        setMatrix(depthProgram, "depthVP", shadertest::lightViewProjection());
        setMatrix(depthProgram, "modelMatrix", glm::mat4(1.0f));
    }
    void end() const
    {
        glDisable(GL_CULL_FACE);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    int size;
    GLuint texture = 0;
    GLuint framebuffer = 0;
};

// The uniforms a shadowed or toon draw receives, camera looking from `eye` at `at`.
void setLitDraw(GLuint program, const ShadowMap& shadow, const glm::vec3& eye, const glm::vec3& at)
{
    glUseProgram(program);
    setMatrix(program, "VP", shadertest::cameraProjection(1.0f) * glm::lookAt(eye, at, glm::vec3(0, 1, 0)));
    setMatrix(program, "depthTranslScalVP", shadertest::shadowBias() * shadertest::lightViewProjection());
    setMatrix(program, "modelMatrix", glm::mat4(1.0f));
    glUniform3fv(glGetUniformLocation(program, "cameraPosition"), 1, &eye.x);
    glUniform1f(glGetUniformLocation(program, "numShades"), 8.0f);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadow.texture);
    glUniform1i(glGetUniformLocation(program, "shadowMap"), 1);
    glActiveTexture(GL_TEXTURE0);
}

// Window pixel of a world point seen from `eye` towards `at`.
glm::ivec2 onScreen(const glm::vec3& point, const glm::vec3& eye, const glm::vec3& at)
{
    const glm::vec4 clip = shadertest::cameraProjection(1.0f) * glm::lookAt(eye, at, glm::vec3(0, 1, 0)) * glm::vec4(point, 1);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2((ndc * 0.5f + 0.5f) * static_cast<float>(side));
}

const glm::vec3 toSun = glm::normalize(glm::vec3(10, 50, -40));

class Lighting : public testsupport::GlTest {};

// The fragment program `name` as it was before its highlight power was taken
// by squaring: the one-line function `power` (for example "toThe16th")
// returns pow(x, exponent) instead. Written to a file of its own, whose path
// is returned; empty when the function is not found.
std::string withPow(const std::string& name, const std::string& power, const char* exponent)
{
    std::ifstream in("Shader/" + name);
    std::stringstream text;
    text << in.rdbuf();
    std::string source = text.str();
    const std::string head = "float " + power + "(float x) {";
    const std::size_t start = source.find(head);
    if (start == std::string::npos)
        return "";
    const std::size_t end = source.find('\n', start);
    source.replace(start, end - start, head + " return pow(x, " + exponent + "); }");
    const std::string path = (std::filesystem::temp_directory_path() / ("pow_" + name)).string();
    std::ofstream(path) << source;
    return path;
}

TEST_F(Lighting, ToonShadingCutsASphereIntoEightFlatBands)
{
    frosk::Shader toon("Shader/toon_material_shader.vert", "Shader/toon_material_shader.frag");
    frosk::Shader depth("Shader/sm_shader_pass1.vert", "Shader/sm_shader_pass1.frag");
    ShadowMap shadow(64);
    shadow.begin(depth.programHandle);
    shadow.end();

    Geometry ball;
    shadertest::upload(ball, shadertest::sphere(glm::vec3(1)), toon.programHandle, true);
    // Looking across the line to the sun, so that the whole range from full
    // sun to the dark side is in view.
    const glm::vec3 eye = glm::normalize(glm::cross(toSun, glm::vec3(1, 0, 0))) * 3.2f;
    testsupport::OffscreenTarget target(side, side);
    target.clear(glm::vec4(0, 0, 0.25f, 1));
    setLitDraw(toon.programHandle, shadow, eye, glm::vec3(0));
    shadertest::drawIndexed(ball);
    target.savePng("toon_sphere_bands");

    std::set<int> tones;  // grey values on the sphere
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const glm::u8vec4 p = target.pixel(x, y);
            if (p.r == p.g && p.g == p.b)
                tones.insert(p.r);
        }
    // Eight bands from the dark side to full sun, and the highlight.
    ASSERT_EQ(tones.size(), 9u);
    EXPECT_EQ(*tones.rbegin(), 255) << "the highlight is white";
    EXPECT_LT(*std::next(tones.rbegin()), 255);
    // The dark side keeps the ambient light.
    EXPECT_NEAR(*tones.begin(), 0.4 * 255, 1.5);
    int highlight = 0, sphere = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const glm::u8vec4 p = target.pixel(x, y);
            sphere += p.r == p.b;
            highlight += p.r == 255 && p.b == 255;
        }
    EXPECT_LT(highlight * 30, sphere) << "a small highlight";
    target.unbind();
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(Lighting, ABoxCastsASoftEdgedShadowOnTheGround)
{
    frosk::Shader shadowed("Shader/sm_material_shader_pass2.vert", "Shader/sm_material_shader_pass2.frag");
    frosk::Shader depth("Shader/sm_shader_pass1.vert", "Shader/sm_shader_pass1.frag");
    const glm::vec3 grey(0.6f);
    Geometry floor, block, floorDepth, blockDepth;
    const shadertest::MeshData floorMesh = shadertest::ground(10, 0, grey);
    const shadertest::MeshData blockMesh = shadertest::box(glm::vec3(-0.5f, 1.5f, -0.5f), glm::vec3(0.5f, 2.5f, 0.5f), grey);
    shadertest::upload(floor, floorMesh, shadowed.programHandle);
    shadertest::upload(block, blockMesh, shadowed.programHandle);
    shadertest::upload(floorDepth, floorMesh, depth.programHandle);
    shadertest::upload(blockDepth, blockMesh, depth.programHandle);

    ShadowMap shadow(4096);
    shadow.begin(depth.programHandle);
    shadertest::drawIndexed(floorDepth);
    shadertest::drawIndexed(blockDepth);
    shadow.end();

    // From the side away from the sun, so that the box does not hide its shadow.
    const glm::vec3 eye(3, 8, 8), at(-0.4f, 0, 1);
    testsupport::OffscreenTarget target(side, side);
    target.clear(glm::vec4(0, 0, 0.25f, 1));
    setLitDraw(shadowed.programHandle, shadow, eye, at);
    shadertest::drawIndexed(floor);
    shadertest::drawIndexed(block);
    target.savePng("shadow_of_a_box");

    // The box floats from 1.5 to 2.5 above the ground: its shadow is cast
    // away from the sun, 2 units up times the sun's slope.
    const glm::vec3 shadowCentre = glm::vec3(0, 2, 0) - toSun * (2.0f / toSun.y);
    const int inShadow = target.pixel(onScreen(shadowCentre, eye, at).x, onScreen(shadowCentre, eye, at).y).r;
    const glm::vec3 litPoint = shadowCentre + glm::vec3(2.5f, 0, 0);
    const int inSun = target.pixel(onScreen(litPoint, eye, at).x, onScreen(litPoint, eye, at).y).r;
    EXPECT_NEAR(inShadow, 0.35 * 0.6 * 255, 2.0) << "only the ambient light in the shadow";
    EXPECT_GT(inSun, 2 * inShadow);

    // No self-shadowing stripes on open ground: across a sunlit patch the
    // light changes only smoothly (the highlight's slope), never in steps.
    int darkest = 255, steepest = 0;
    for (float dz = -1.0f; dz <= 1.0f; dz += 0.05f) {
        int previous = -1;
        for (float dx = -0.5f; dx <= 0.5f; dx += 0.05f) {
            const glm::ivec2 p = onScreen(litPoint + glm::vec3(dx, 0, dz), eye, at);
            const int value = target.pixel(p.x, p.y).r;
            darkest = std::min(darkest, value);
            if (previous >= 0)
                steepest = std::max(steepest, std::abs(value - previous));
            previous = value;
        }
    }
    EXPECT_GT(darkest, 2 * inShadow);
    EXPECT_LE(steepest, 3);

    // Across the shadow's edge the light rises through in-between values.
    std::set<int> edge;
    for (float dx = 0.2f; dx <= 1.0f; dx += 0.01f) {
        const glm::ivec2 p = onScreen(shadowCentre + glm::vec3(dx, 0, 0), eye, at);
        const int value = target.pixel(p.x, p.y).r;
        if (value > inShadow + 3 && value < inSun - 3)
            edge.insert(value);
    }
    EXPECT_GE(edge.size(), 2u) << "a soft edge, not a hard step";
    target.unbind();
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(Lighting, OutlinePassRingsAToonModelInBlack)
{
    frosk::Shader toon("Shader/toon_texture_shader.vert", "Shader/toon_texture_shader.frag");
    frosk::Shader outline("Shader/toon_silhouette.vert", "Shader/toon_silhouette.frag");
    frosk::Shader depth("Shader/sm_shader_pass1.vert", "Shader/sm_shader_pass1.frag");
    ShadowMap shadow(64);
    shadow.begin(depth.programHandle);
    shadow.end();

    // A pink sphere with a striped texture; the outline draws the toon
    // program's own vertex arrays, as a mesh does.
    std::vector<unsigned char> stripes;
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 8; ++col)
            stripes.insert(stripes.end(), 3, static_cast<unsigned char>(col % 2 ? 255 : 180));
    const GLuint texture = shadertest::rgbTexture(8, 8, stripes);
    Geometry ball;
    shadertest::upload(ball, shadertest::sphere(glm::vec3(1.0f, 0.6f, 0.8f)), toon.programHandle, true);

    const glm::vec3 eye = toSun * 3.0f + glm::vec3(1.5f, 0, 0);
    testsupport::OffscreenTarget target(side, side);
    target.clear(glm::vec4(0.3f, 0.5f, 0.7f, 1));
    glUseProgram(outline.programHandle);
    setMatrix(outline.programHandle, "VP", shadertest::cameraProjection(1.0f) * glm::lookAt(eye, glm::vec3(0), glm::vec3(0, 1, 0)));
    setMatrix(outline.programHandle, "modelMatrix", glm::mat4(1.0f));
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glUniform3f(glGetUniformLocation(outline.programHandle, "color1"), 0, 0, 0);
    glUniform1f(glGetUniformLocation(outline.programHandle, "offset1"), 0.04f);
    shadertest::drawIndexed(ball);
    glCullFace(GL_BACK);
    glDepthMask(GL_FALSE);
    glUniform3f(glGetUniformLocation(outline.programHandle, "color1"), 1, 1, 1);
    glUniform1f(glGetUniformLocation(outline.programHandle, "offset1"), 0.0f);
    shadertest::drawIndexed(ball);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);

    setLitDraw(toon.programHandle, shadow, eye, glm::vec3(0));
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(glGetUniformLocation(toon.programHandle, "colorTexture"), 0);
    shadertest::drawIndexed(ball);
    target.savePng("toon_sphere_outline");

    // Along the middle row: sky, then a black rim, then the shaded sphere.
    const int row = side / 2;
    const glm::u8vec4 sky = target.pixel(0, row);
    int x = 0;
    while (x < side && target.pixel(x, row) == sky)
        ++x;
    ASSERT_LT(x, side / 2);
    int rim = 0;
    while (x < side && target.pixel(x, row) == glm::u8vec4(0, 0, 0, 255)) {
        ++x;
        ++rim;
    }
    EXPECT_GE(rim, 2) << "outline width in pixels";
    EXPECT_LE(rim, 8);
    const glm::u8vec4 inside = target.pixel(side / 2, row);
    EXPECT_GT(inside.r, inside.g) << "the sphere keeps its pink";
    EXPECT_GT(inside.r, 60);
    target.unbind();
    glDeleteTextures(1, &texture);
    EXPECT_EQ(testsupport::glErrors(), "");
}

} // namespace

namespace {

class Sky : public testsupport::GlTest {};

TEST_F(Sky, StaysPutWhenThePlayerWalksAndTurnsWithTheCamera)
{
    frosk::Shader sky("Shader/heaven.vert", "Shader/heaven.frag");
    const GLuint program = sky.programHandle;
    // A dome of radius 150 whose colour changes with direction.
    shadertest::MeshData dome = shadertest::sphere(glm::vec3(1), 16, 24);
    for (shadertest::MeshVertex& v : dome.vertices) {
        v.color = v.position * 0.5f + 0.5f;
        v.position *= 150.0f;
    }
    Geometry geometry;
    shadertest::upload(geometry, dome, program);
    const GLuint white = shadertest::rgbTexture(1, 1, {255, 255, 255});

    auto render = [&](const glm::vec3& eye, const glm::vec3& forward) {
        testsupport::OffscreenTarget target(64, 64);
        target.clear(glm::vec4(0, 0, 0, 1));
        glUseProgram(program);
        setMatrix(program, "projectionMatrix", shadertest::cameraProjection(1.0f));
        setMatrix(program, "viewMatrix", glm::lookAt(eye, eye + forward, glm::vec3(0, 1, 0)));
        setMatrix(program, "modelMatrix", glm::mat4(1.0f));
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, white);
        glUniform1i(glGetUniformLocation(program, "colorTexture"), 0);
        shadertest::drawIndexed(geometry);
        std::vector<unsigned char> pixels = target.readRgba();
        target.unbind();
        return pixels;
    };
    auto largestDifference = [](const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
        int largest = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
        return largest;
    };
    const glm::vec3 north(0, 0.2f, 1);
    const std::vector<unsigned char> atHome = render(glm::vec3(0), north);
    // Far out on the play area the sky would otherwise reach past the far
    // plane; the same turn shows the same sky (up to the rounding of the view).
    EXPECT_LE(largestDifference(render(glm::vec3(45, 3, -30), north), atHome), 2);
    EXPECT_GT(largestDifference(render(glm::vec3(0), glm::vec3(1, 0.2f, 0)), atHome), 40)
        << "turning shows another part of the sky";
    EXPECT_EQ(atHome[3], 255);
    EXPECT_GT(atHome[2] + atHome[1] + atHome[0], 0) << "the dome is drawn";
    glDeleteTextures(1, &white);
    EXPECT_EQ(testsupport::glErrors(), "");
}

class Glow : public testsupport::GlTest {};

TEST_F(Glow, GlowingObjectsShineInTheirColourAndOthersHideThem)
{
    frosk::Shader bloom("Shader/bloom.vert", "Shader/bloom.frag");
    frosk::Shader cover("Shader/bloom.vert", "Shader/bloomcover.frag");
    // A red target board, half hidden behind a nearer box that does not glow.
    Geometry board, wall;
    shadertest::upload(board, shadertest::box(glm::vec3(-1, -1, -0.1f), glm::vec3(1, 1, 0.1f), glm::vec3(0.6f, 0.1f, 0.1f)),
                       bloom.programHandle);
    shadertest::upload(wall, shadertest::box(glm::vec3(0, -2, 1), glm::vec3(2, 2, 1.2f), glm::vec3(0.8f)),
                       cover.programHandle);

    testsupport::OffscreenTarget target(64, 64);
    target.clear(glm::vec4(0, 0, 0, 0));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    const glm::mat4 view = glm::lookAt(glm::vec3(0, 0, 5), glm::vec3(0), glm::vec3(0, 1, 0));
    for (const frosk::Shader* shader : {&bloom, &cover}) {
        glUseProgram(shader->programHandle);
        setMatrix(shader->programHandle, "projectionMatrix", shadertest::cameraProjection(1.0f));
        setMatrix(shader->programHandle, "viewMatrix", view);
        setMatrix(shader->programHandle, "modelMatrix", glm::mat4(1.0f));
        shadertest::drawIndexed(shader == &bloom ? board : wall);
    }
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    target.savePng("glow_pass");

    // Left half: the board glows, brighter than its own colour; right half: covered.
    const glm::u8vec4 glowing = target.pixel(26, 32);
    EXPECT_GT(glowing.r, 0.6 * 255 + 20);
    EXPECT_LT(glowing.g, glowing.r / 3);
    EXPECT_EQ(target.pixel(38, 32), glm::u8vec4(0, 0, 0, 255));
    EXPECT_EQ(target.pixel(5, 32), glm::u8vec4(0, 0, 0, 0)) << "nothing drawn there";
    target.unbind();
    EXPECT_EQ(testsupport::glErrors(), "");
}

} // namespace

// The highlights' power taken by squaring paints what pow painted: a sphere
// with its highlight in view, drawn by each lit program both ways, differs by
// at most one step of 255 in a channel, and where a banded highlight's edge
// falls a pixel either way, in a few pixels only.
TEST_F(Lighting, HighlightsBySquaringPaintWhatPowPainted)
{
    struct Program {
        const char* vertex;
        const char* fragment;
        const char* power;
        const char* exponent;
    };
    const Program programs[] = {{"toon_material_shader.vert", "toon_material_shader.frag", "toThe16th", "16.0"},
                                {"toon_texture_shader.vert", "toon_texture_shader.frag", "toThe16th", "16.0"},
                                {"sm_material_shader_pass2.vert", "sm_material_shader_pass2.frag", "toThe32nd", "32.0"}};
    frosk::Shader depth("Shader/sm_shader_pass1.vert", "Shader/sm_shader_pass1.frag");
    ShadowMap shadow(64);
    shadow.begin(depth.programHandle);
    shadow.end();
    const GLuint white = shadertest::rgbTexture(1, 1, {255, 255, 255});
    constexpr int size = 512;
    const glm::vec3 eye = toSun * 3.0f + glm::vec3(1.0f, 0.0f, 0.6f);

    for (const Program& program : programs) {
        const std::string old = withPow(program.fragment, program.power, program.exponent);
        ASSERT_FALSE(old.empty()) << program.fragment << " has no " << program.power;
        std::vector<unsigned char> pictures[2];
        int index = 0;
        for (const std::string& fragment : {std::string("Shader/") + program.fragment, old}) {
            frosk::Shader lit(std::string("Shader/") + program.vertex, fragment);
            Geometry ball;
            shadertest::upload(ball, shadertest::sphere(glm::vec3(1.0f, 0.7f, 0.5f), 96, 128), lit.programHandle,
                               true);
            testsupport::OffscreenTarget target(size, size);
            target.clear(glm::vec4(0, 0, 0.25f, 1));
            setLitDraw(lit.programHandle, shadow, eye, glm::vec3(0));
            glBindTexture(GL_TEXTURE_2D, white);
            glUniform1i(glGetUniformLocation(lit.programHandle, "colorTexture"), 0);
            shadertest::drawIndexed(ball);
            pictures[index] = target.readRgba();
            if (index == 0)
                target.savePng(std::string("highlight_") + program.power + "_" + program.vertex);
            target.unbind();
            ++index;
        }
        ASSERT_EQ(pictures[0].size(), pictures[1].size());
        int bright = 0, differing = 0, largest = 0;
        for (std::size_t i = 0; i + 3 < pictures[0].size(); i += 4) {
            const glm::ivec4 a(pictures[0][i], pictures[0][i + 1], pictures[0][i + 2], pictures[0][i + 3]);
            const glm::ivec4 b(pictures[1][i], pictures[1][i + 1], pictures[1][i + 2], pictures[1][i + 3]);
            bright += a.r == 255 ? 1 : 0;
            const glm::ivec4 d = glm::abs(a - b);
            const int difference = std::max(std::max(d.r, d.g), std::max(d.b, d.a));
            differing += difference > 1 ? 1 : 0;
            largest = std::max(largest, difference);
        }
        EXPECT_GT(bright, 200) << program.fragment << ": no highlight in view to compare";
        EXPECT_LE(differing, 12) << program.fragment << ": pixels off by more than one step (largest " << largest
                                 << ")";
    }
    glDeleteTextures(1, &white);
    EXPECT_EQ(testsupport::glErrors(), "");
}
