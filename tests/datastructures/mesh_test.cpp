#include "datastructures/mesh.h"

#include "app/config.h"
#include "effects/render_pass.h"
#include "effects/shadow_mapping.h"
#include "effects/toon_shading.h"
#include "support/gl_context.h"
#include "support/offscreen.h"
#include "test_geometry.h"
#include "test_programs.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cmath>
#include <cstring>
#include <limits>

using frosk::datastructures::Mesh;
using frosk::datastructures::Vertex;
using testsupport::OffscreenTarget;

namespace {

GLint attribute(GLuint index, GLenum what)
{
    GLint value = 0;
    glGetVertexAttribiv(index, what, &value);
    return value;
}

std::uintptr_t attributeOffset(GLuint index)
{
    void* pointer = nullptr;
    glGetVertexAttribPointerv(index, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
    return reinterpret_cast<std::uintptr_t>(pointer);
}

// The attributes enabled in a vertex array, as location -> byte offset.
std::map<GLuint, std::uintptr_t> enabledAttributes(GLuint vertexArray, GLuint vertexBuffer)
{
    std::map<GLuint, std::uintptr_t> enabled;
    glBindVertexArray(vertexArray);
    for (GLuint i = 0; i < 8; ++i) {
        if (!attribute(i, GL_VERTEX_ATTRIB_ARRAY_ENABLED))
            continue;
        EXPECT_EQ(attribute(i, GL_VERTEX_ATTRIB_ARRAY_STRIDE), 56) << "location " << i;
        EXPECT_EQ(attribute(i, GL_VERTEX_ATTRIB_ARRAY_TYPE), GL_FLOAT) << "location " << i;
        EXPECT_EQ(attribute(i, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED), GL_FALSE) << "location " << i;
        EXPECT_EQ(attribute(i, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING), static_cast<GLint>(vertexBuffer));
        enabled[i] = attributeOffset(i);
    }
    glBindVertexArray(0);
    return enabled;
}

GLint elementBufferOf(GLuint vertexArray)
{
    GLint buffer = 0;
    glBindVertexArray(vertexArray);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &buffer);
    glBindVertexArray(0);
    return buffer;
}

GLint uniformInt(GLuint program, const char* name)
{
    GLint value = -1;
    glGetUniformiv(program, glGetUniformLocation(program, name), &value);
    return value;
}

glm::mat4 uniformMatrix(GLuint program, const char* name)
{
    glm::mat4 value(0.0f);
    glGetUniformfv(program, glGetUniformLocation(program, name), glm::value_ptr(value));
    return value;
}

GLuint boundTexture(GLenum unit)
{
    GLint texture = 0;
    glActiveTexture(unit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    return static_cast<GLuint>(texture);
}

GLuint solidTexture(const glm::u8vec4& colour)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, &colour);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

void expectNear(const glm::mat4& got, const glm::mat4& want)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(got[c][r], want[c][r], 1e-5f) << "[" << c << "][" << r << "]";
}

const glm::u8vec4 clearColour(0, 0, 255, 255);

// The effects as start-up builds them, on test programs with the game's
// interface, and a target with the window's aspect.
class MeshTest : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        depthProgram = testprograms::depthPass();
        outlineProgram = testprograms::silhouette();
        target = std::make_unique<OffscreenTarget>(200, 150);
        config.width = 200;
        config.height = 150;
        shadowMapping = std::make_unique<frosk::effects::ShadowMapping>(depthProgram.get(), config.width,
                                                                        config.height);
        toonShading = std::make_unique<frosk::effects::ToonShading>(outlineProgram.get(), config.width, config.height);
        target->bind();
        target->clear(glm::vec4(clearColour) / 255.0f);
    }

    // The frame's camera through `view`, handed to both effects as the frame does.
    void look(const glm::mat4& view)
    {
        const frosk::Camera camera = frosk::Camera::looking(view, glm::vec3(0.0f), config.width, config.height);
        shadowMapping->camera = camera;
        toonShading->camera = camera;
    }

    // Where a world point lands in the target through the camera of the effects.
    glm::ivec2 pixelOf(const glm::vec3& world) const
    {
        const glm::vec4 clip = shadowMapping->camera.viewProjection() * glm::vec4(world, 1.0f);
        const glm::vec2 ndc = glm::vec2(clip) / clip.w;
        return {static_cast<int>((ndc.x * 0.5f + 0.5f) * target->width),
                static_cast<int>((ndc.y * 0.5f + 0.5f) * target->height)};
    }

    frosk::Config config{"no such config file"};
    // Built once the fixture's context is current.
    std::unique_ptr<frosk::Shader> depthProgram;
    std::unique_ptr<frosk::Shader> outlineProgram;
    std::unique_ptr<OffscreenTarget> target;
    std::unique_ptr<frosk::effects::ShadowMapping> shadowMapping;
    std::unique_ptr<frosk::effects::ToonShading> toonShading;
};

std::vector<Vertex> redSquare()
{
    return testgeometry::square(-0.5f, -0.5f, 0.5f, 0.5f, 0.0f, {1, 0, 0});
}

// A hilly field of n x n quads over [-half, half] in x and z, listed row by
// row as a landscape lists its ground, every quad in a colour of its own.
std::vector<Vertex> field(int n, float half, std::vector<GLuint>& indices)
{
    std::vector<Vertex> vertices;
    indices.clear();
    const float step = 2.0f * half / static_cast<float>(n);
    auto height = [](float x, float z) { return 0.6f * std::sin(x * 0.7f) * std::cos(z * 0.5f); };
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column) {
            const auto base = static_cast<GLuint>(vertices.size());
            const glm::vec3 colour(static_cast<float>(column) / static_cast<float>(n),
                                   static_cast<float>(row) / static_cast<float>(n), 0.5f);
            for (const glm::vec2& corner : {glm::vec2(0, 1), glm::vec2(1, 1), glm::vec2(1, 0), glm::vec2(0, 0)}) {
                Vertex vertex;
                const float x = -half + (static_cast<float>(column) + corner.x) * step;
                const float z = -half + (static_cast<float>(row) + corner.y) * step;
                vertex.position = {x, height(x, z), z};
                vertex.normal = glm::normalize(glm::vec3(-0.42f * std::cos(x * 0.7f) * std::cos(z * 0.5f), 1.0f,
                                                         0.3f * std::sin(x * 0.7f) * std::sin(z * 0.5f)));
                vertex.color = colour;
                vertices.push_back(vertex);
            }
            indices.insert(indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
        }
    frosk::datastructures::computeSmoothNormals(vertices);
    return vertices;
}

// Puts the switch back however a test ends.
struct CullingSwitch {
    explicit CullingSwitch(bool on) { Mesh::cullOutsideView = on; }
    ~CullingSwitch() { Mesh::cullOutsideView = true; }
};

} // namespace

TEST_F(MeshTest, VertexArraysFeedEachProgramItsAttributesFromTheVertexRecord)
{
    const auto program = testprograms::toon();
    const auto second = testprograms::secondary();
    const std::vector<Vertex> vertices = redSquare();
    Mesh mesh(program->programHandle, second->programHandle, vertices, testgeometry::squareIndices(), {},
              shadowMapping.get(), toonShading.get());

    using Layout = std::map<GLuint, std::uintptr_t>;
    EXPECT_EQ(enabledAttributes(mesh.mainVAO, mesh.vertexBuffer), (Layout{{0, 0}, {1, 12}, {2, 24}, {3, 36}}));
    EXPECT_EQ(enabledAttributes(mesh.silhouetteVAO, mesh.vertexBuffer), (Layout{{0, 0}, {1, 44}}));
    EXPECT_EQ(enabledAttributes(mesh.toonVAO, mesh.vertexBuffer), (Layout{{0, 0}, {1, 44}, {2, 24}, {3, 36}}));
    EXPECT_EQ(enabledAttributes(mesh.depthVAO, mesh.vertexBuffer), (Layout{{0, 0}}));
    // The second program's own location for "color".
    EXPECT_EQ(enabledAttributes(mesh.secondaryVAO, mesh.vertexBuffer), (Layout{{0, 0}, {5, 24}}));
    for (GLuint vertexArray : {mesh.mainVAO, mesh.silhouetteVAO, mesh.toonVAO, mesh.depthVAO, mesh.secondaryVAO})
        EXPECT_EQ(elementBufferOf(vertexArray), static_cast<GLint>(mesh.indexBuffer));

    // The buffers hold the records byte for byte, and the indices.
    std::vector<Vertex> uploaded(vertices.size());
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(uploaded.size() * sizeof(Vertex)),
                       uploaded.data());
    EXPECT_EQ(std::memcmp(uploaded.data(), vertices.data(), uploaded.size() * sizeof(Vertex)), 0);
    std::vector<GLuint> indices(6);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indexBuffer);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, 6 * sizeof(GLuint), indices.data());
    EXPECT_EQ(indices, testgeometry::squareIndices());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(MeshTest, ProgramWithoutSomeAttributesGetsOnlyThoseItHasAndNoEffectMeansNoDepthArray)
{
    const auto program = testprograms::positionOnly();
    Mesh mesh(program->programHandle, redSquare(), testgeometry::squareIndices(), {}, nullptr, nullptr);
    using Layout = std::map<GLuint, std::uintptr_t>;
    EXPECT_EQ(enabledAttributes(mesh.mainVAO, mesh.vertexBuffer), (Layout{{0, 0}}));
    EXPECT_EQ(enabledAttributes(mesh.toonVAO, mesh.vertexBuffer), (Layout{{0, 0}}));
    EXPECT_EQ(mesh.depthVAO, 0u);
    EXPECT_EQ(mesh.secondaryVAO, 0u);
    EXPECT_EQ(mesh.secondProgram, 0u);

    // It still draws.
    glUseProgram(program->programHandle);
    mesh.draw(glm::mat4(1.0f));
    EXPECT_EQ(target->pixel(100, 75), glm::u8vec4(255, 255, 255, 255));
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(MeshTest, PlainDrawUsesTheCurrentProgramTheModelMatrixAndEveryTexture)
{
    const auto program = testprograms::plainTexture();
    const GLuint grey = solidTexture({128, 128, 128, 255});
    const GLuint white = solidTexture({255, 255, 255, 255});
    Mesh mesh(program->programHandle, redSquare(), testgeometry::squareIndices(), {grey, white}, nullptr,
              nullptr);

    glUseProgram(program->programHandle);
    mesh.draw(glm::translate(glm::mat4(1.0f), glm::vec3(0.5f, 0.0f, 0.0f)));
    // Moved right by a quarter of the target: from x 25% .. 75% to 50% .. 100%.
    EXPECT_EQ(target->pixel(90, 75), clearColour);
    EXPECT_EQ(target->pixel(110, 75), glm::u8vec4(255, 0, 0, 255));
    EXPECT_EQ(target->pixel(195, 75), glm::u8vec4(255, 0, 0, 255));
    // One unit per texture; the sampler ends on the last one.
    EXPECT_EQ(boundTexture(GL_TEXTURE0), grey);
    EXPECT_EQ(boundTexture(GL_TEXTURE1), white);
    EXPECT_EQ(uniformInt(program->programHandle, "colorTexture"), 1);
    GLint vertexArray = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    EXPECT_EQ(vertexArray, 0);
    EXPECT_EQ(testsupport::glErrors(), "");
    glDeleteTextures(1, &grey);
    glDeleteTextures(1, &white);
}

TEST_F(MeshTest, ShadowedDrawBindsTheShadowMapOneUnitPastTheTexturesAndUploadsBothCameras)
{
    const auto program = testprograms::shadowed();
    look(glm::lookAt(glm::vec3(0, 3, 5), glm::vec3(0), glm::vec3(0, 1, 0)));
    const GLuint texture = solidTexture({255, 255, 255, 255});
    Mesh bare(program->programHandle, redSquare(), testgeometry::squareIndices(), {}, shadowMapping.get(),
              toonShading.get());
    Mesh textured(program->programHandle, redSquare(), testgeometry::squareIndices(), {texture},
                  shadowMapping.get(), toonShading.get());

    bare.drawShadowed(glm::mat4(1.0f));
    EXPECT_EQ(uniformInt(program->programHandle, "shadowMap"), 1);
    EXPECT_EQ(boundTexture(GL_TEXTURE1), shadowMapping->depthTexture);

    textured.drawShadowed(glm::mat4(1.0f));
    EXPECT_EQ(uniformInt(program->programHandle, "colorTexture"), 0);
    EXPECT_EQ(boundTexture(GL_TEXTURE0), texture);
    EXPECT_EQ(uniformInt(program->programHandle, "shadowMap"), 2);
    EXPECT_EQ(boundTexture(GL_TEXTURE2), shadowMapping->depthTexture);

    const glm::mat4 camera = glm::perspective(glm::radians(60.0f), 200.0f / 150.0f, 0.01f, 200.0f) *
                             shadowMapping->camera.view;
    expectNear(uniformMatrix(program->programHandle, "VP"), camera);
    const glm::mat4 bias = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f)) * glm::scale(glm::mat4(1.0f), glm::vec3(0.5f));
    const glm::mat4 light = glm::lookAt(glm::vec3(10, 50, -40), glm::vec3(0), glm::vec3(0, 1, 0));
    expectNear(uniformMatrix(program->programHandle, "depthTranslScalVP"),
               bias * shadowMapping->lightProjection * light);
    EXPECT_EQ(testsupport::glErrors(), "");
    glDeleteTextures(1, &texture);
}

// A board hovering over a ground, both drawn into the shadow map and then lit
// with it: the ground is dark where the board hides it from the sun.
TEST_F(MeshTest, DepthPassAndShadowedDrawCastTheBoardsShadowOntoTheGround)
{
    const auto program = testprograms::shadowed();
    look(glm::lookAt(glm::vec3(0, 25, 20), glm::vec3(0), glm::vec3(0, 1, 0)));
    // Squares in x-y turned to face +y.
    const glm::mat4 flat = glm::rotate(glm::mat4(1.0f), glm::radians(-90.0f), glm::vec3(1, 0, 0));
    Mesh ground(program->programHandle, testgeometry::square(-10, -10, 10, 10, 0, {1, 1, 1}),
                testgeometry::squareIndices(), {}, shadowMapping.get(), toonShading.get());
    Mesh board(program->programHandle, testgeometry::square(-1, -1, 1, 1, 0, {1, 1, 0}),
               testgeometry::squareIndices(), {}, shadowMapping.get(), toonShading.get());
    const glm::mat4 raised = glm::translate(glm::mat4(1.0f), glm::vec3(0, 5, 0)) * flat;

    {
        frosk::effects::PassScope pass(config.width, config.height);
        shadowMapping->startPass1(pass);
        ground.drawDepth(flat);
        board.drawDepth(raised);
    }
    expectNear(uniformMatrix(depthProgram->programHandle, "depthVP"),
               shadowMapping->lightProjection *
                   glm::lookAt(glm::vec3(10, 50, -40), glm::vec3(0), glm::vec3(0, 1, 0)));

    target->bind();
    target->clear(glm::vec4(clearColour) / 255.0f);
    glEnable(GL_DEPTH_TEST);
    ground.drawShadowed(flat);
    board.drawShadowed(raised);
    target->savePng("mesh_shadowed_board");

    // The board's centre (0, 5, 0) throws its shadow along the light, from
    // (10, 50, -40) through it onto y = 0: at (-1.1, 0, 4.4).
    const glm::ivec2 shadow = pixelOf({-1.1f, 0.0f, 4.4f});
    const glm::ivec2 sunny = pixelOf({5.0f, 0.0f, -5.0f});
    const glm::ivec2 boardCentre = pixelOf({0.0f, 5.0f, 0.0f});
    EXPECT_LT(target->pixel(shadow.x, shadow.y).r, 100);
    EXPECT_GT(target->pixel(sunny.x, sunny.y).r, 240);
    EXPECT_EQ(target->pixel(boardCentre.x, boardCentre.y).b, 0);
    EXPECT_GT(target->pixel(boardCentre.x, boardCentre.y).g, 240);
    glDisable(GL_DEPTH_TEST);
    EXPECT_EQ(testsupport::glErrors(), "");
}

// Outline, then toon draw of a cube: the toon cube covers exactly the white of
// the outline pass and leaves its black rim.
TEST_F(MeshTest, SilhouetteDrawsABlackRimAndLeavesCullingOffAndDepthWritesOn)
{
    const auto program = testprograms::toon();
    look(glm::lookAt(glm::vec3(3, 2.5f, 4), glm::vec3(0), glm::vec3(0, 1, 0)));
    std::vector<GLuint> indices;
    const std::vector<Vertex> vertices = testgeometry::cube(1.0f, {1.0f, 0.5f, 0.0f}, indices);
    Mesh cube(program->programHandle, vertices, indices, {}, shadowMapping.get(), toonShading.get());

    {
        frosk::effects::PassScope pass(config.width, config.height);
        shadowMapping->startPass1(pass);
    }
    target->bind();
    target->clear(glm::vec4(clearColour) / 255.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    // Scaled up so that the 0.04 push-out is a few pixels wide.
    const glm::mat4 model = glm::scale(glm::mat4(1.0f), glm::vec3(1.8f));
    cube.drawSilhouette(model);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    const auto outline = target->readRgba();
    cube.drawToon(model);
    target->savePng("mesh_toon_cube_outlined");
    const auto picture = target->readRgba();
    glDisable(GL_DEPTH_TEST);

    // After the outline alone the cube is white inside a black rim; the toon
    // draw paints over the white and leaves the rim.
    int white = 0, black = 0, rim = 0, toonShaded = 0;
    for (std::size_t i = 0; i < outline.size(); i += 4) {
        const glm::u8vec4 before(outline[i], outline[i + 1], outline[i + 2], outline[i + 3]);
        const glm::u8vec4 after(picture[i], picture[i + 1], picture[i + 2], picture[i + 3]);
        white += before == glm::u8vec4(255, 255, 255, 255);
        black += before == glm::u8vec4(0, 0, 0, 255);
        rim += after == glm::u8vec4(0, 0, 0, 255);
        toonShaded += after.b == 0 && after.r > 0;
    }
    EXPECT_GT(white, 2000);
    EXPECT_GT(black, 100);
    EXPECT_LT(black, white / 2);
    EXPECT_EQ(rim, black);
    EXPECT_EQ(toonShaded, white);
    const glm::ivec2 centre = pixelOf({0, 0, 0});
    EXPECT_GT(target->pixel(centre.x, centre.y).r, 0);
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(MeshTest, ToonDrawTakesTheCameraOfTheToonEffectAndEightShades)
{
    const auto program = testprograms::toon();
    // The toon effect's own camera, not the shadow effect's, gives "VP".
    shadowMapping->camera.view = glm::lookAt(glm::vec3(3, 2, 1), glm::vec3(0), glm::vec3(0, 1, 0));
    toonShading->camera.view = glm::lookAt(glm::vec3(1, 2, 3), glm::vec3(0), glm::vec3(0, 1, 0));
    Mesh mesh(program->programHandle, redSquare(), testgeometry::squareIndices(), {}, shadowMapping.get(),
              toonShading.get());
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    mesh.drawToon(glm::mat4(1.0f));

    GLfloat shades = 0.0f;
    glGetUniformfv(program->programHandle, glGetUniformLocation(program->programHandle, "numShades"), &shades);
    EXPECT_EQ(shades, 8.0f);
    expectNear(uniformMatrix(program->programHandle, "VP"),
               glm::perspective(glm::radians(60.0f), 200.0f / 150.0f, 0.01f, 200.0f) * toonShading->camera.view);
    EXPECT_EQ(uniformInt(program->programHandle, "shadowMap"), 1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    glDisable(GL_DEPTH_TEST);
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(MeshTest, SecondaryDrawUsesTheSecondProgramWithPositionsAndColoursOnly)
{
    const auto program = testprograms::toon();
    const auto second = testprograms::secondary();
    Mesh mesh(program->programHandle, second->programHandle,
              testgeometry::square(-0.5f, -0.5f, 0.5f, 0.5f, 0.0f, {0, 1, 0}), testgeometry::squareIndices(), {},
              shadowMapping.get(), toonShading.get());
    mesh.drawSecondary(glm::translate(glm::mat4(1.0f), glm::vec3(-0.5f, 0, 0)));
    EXPECT_EQ(target->pixel(10, 75), glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(target->pixel(110, 75), clearColour);
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), second->programHandle);
    EXPECT_EQ(testsupport::glErrors(), "");
}

// A mesh built for plain drawing only is never drawn through an effect or a
// second program it does not have.
TEST_F(MeshTest, DrawsThatLackTheirEffectOrProgramDrawNothing)
{
    const auto program = testprograms::plainColour();
    Mesh mesh(program->programHandle, redSquare(), testgeometry::squareIndices(), {}, nullptr, nullptr);
    glUseProgram(program->programHandle);
    mesh.drawDepth(glm::mat4(1.0f));
    mesh.drawShadowed(glm::mat4(1.0f));
    mesh.drawSilhouette(glm::mat4(1.0f));
    mesh.drawToon(glm::mat4(1.0f));
    mesh.drawSecondary(glm::mat4(1.0f));
    EXPECT_EQ(target->pixel(100, 75), clearColour);
    EXPECT_EQ(testsupport::glErrors(), "");

    Mesh empty(program->programHandle, {}, {}, {}, nullptr, nullptr);
    empty.draw(glm::mat4(1.0f));
    EXPECT_EQ(target->pixel(100, 75), clearColour);
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(MeshTest, TextureFilterSetsMinificationAndAMatchingMagnification)
{
    const auto program = testprograms::plainTexture();
    const GLuint a = solidTexture({1, 2, 3, 4});
    const GLuint b = solidTexture({5, 6, 7, 8});
    Mesh mesh(program->programHandle, redSquare(), testgeometry::squareIndices(), {a, b}, nullptr, nullptr);
    const auto filters = [](GLuint texture) {
        GLint min = 0, mag = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
        return std::pair<GLint, GLint>(min, mag);
    };
    const std::pair<GLint, GLint> cases[] = {
        {GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR}, {GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
        {GL_NEAREST, GL_NEAREST},              {GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
        {GL_LINEAR, GL_LINEAR},                {GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR}};
    for (const auto& [min, mag] : cases) {
        glActiveTexture(GL_TEXTURE3);
        mesh.setTextureFilter(min);
        EXPECT_EQ(boundTexture(GL_TEXTURE0), b) << "the last texture stays bound on unit 0";
        EXPECT_EQ(filters(a), std::make_pair(min, mag));
        EXPECT_EQ(filters(b), std::make_pair(min, mag));
    }
    EXPECT_EQ(testsupport::glErrors(), "");
    glDeleteTextures(1, &a);
    glDeleteTextures(1, &b);
}

TEST_F(MeshTest, DestructionFreesBuffersAndArraysButNotTextures)
{
    const auto program = testprograms::toon();
    const auto second = testprograms::secondary();
    const GLuint texture = solidTexture({1, 2, 3, 4});
    std::vector<GLuint> names;
    {
        Mesh mesh(program->programHandle, second->programHandle, redSquare(), testgeometry::squareIndices(),
                  {texture}, shadowMapping.get(), toonShading.get());
        names = {mesh.vertexBuffer, mesh.indexBuffer, mesh.depthVAO, mesh.mainVAO,
                 mesh.silhouetteVAO, mesh.toonVAO, mesh.secondaryVAO};
        for (GLuint name : names)
            EXPECT_NE(name, 0u);
    }
    EXPECT_FALSE(glIsBuffer(names[0]));
    EXPECT_FALSE(glIsBuffer(names[1]));
    for (std::size_t i = 2; i < names.size(); ++i)
        EXPECT_FALSE(glIsVertexArray(names[i]));
    EXPECT_TRUE(glIsTexture(texture));
    EXPECT_EQ(testsupport::glErrors(), "");
    glDeleteTextures(1, &texture);
}

// A landscape seen from inside it, as the player sees one: most of it lies
// behind or beside the camera. The camera draws leave that out and still make
// the very same picture, outlines included.
TEST_F(MeshTest, CameraDrawsLeaveOutWhatLiesOutsideTheViewAndMakeTheSamePicture)
{
    const auto program = testprograms::toon();
    std::vector<GLuint> indices;
    const std::vector<Vertex> vertices = field(48, 24.0f, indices);
    Mesh ground(program->programHandle, vertices, indices, {}, shadowMapping.get(), toonShading.get());
    const auto triangles = static_cast<GLsizei>(indices.size() / 3);
    {
        frosk::effects::PassScope pass(config.width, config.height);
        shadowMapping->startPass1(pass);
    }
    look(glm::lookAt(glm::vec3(0, 2, 0), glm::vec3(6, 0, -6), glm::vec3(0, 1, 0)));

    struct Drawn {
        std::vector<unsigned char> outlinedToon, shadowed;
        GLsizei outlineLeftOut, toonLeftOut, shadowedLeftOut;
    };
    auto draw = [&](bool cull) {
        const CullingSwitch culling(cull);
        Drawn drawn{};
        target->bind();
        target->clear(glm::vec4(clearColour) / 255.0f);
        glEnable(GL_DEPTH_TEST);
        ground.drawSilhouette(glm::mat4(1.0f));
        drawn.outlineLeftOut = ground.lastTrianglesLeftOut();
        ground.drawToon(glm::mat4(1.0f));
        drawn.toonLeftOut = ground.lastTrianglesLeftOut();
        drawn.outlinedToon = target->readRgba();
        target->clear(glm::vec4(clearColour) / 255.0f);
        ground.drawShadowed(glm::mat4(1.0f));
        drawn.shadowedLeftOut = ground.lastTrianglesLeftOut();
        drawn.shadowed = target->readRgba();
        glDisable(GL_DEPTH_TEST);
        return drawn;
    };
    const Drawn culled = draw(true);
    target->savePng("mesh_field_seen_from_inside");
    const Drawn whole = draw(false);

    EXPECT_EQ(testsupport::differingBytes(culled.outlinedToon, whole.outlinedToon), 0u);
    EXPECT_EQ(testsupport::differingBytes(culled.shadowed, whole.shadowed), 0u);
    EXPECT_GT(culled.toonLeftOut, triangles / 2);
    EXPECT_LT(culled.toonLeftOut, triangles);
    EXPECT_EQ(culled.shadowedLeftOut, culled.toonLeftOut);
    // The outline draws the field twice (pushed-out back faces, then front faces).
    EXPECT_GT(culled.outlineLeftOut, triangles);
    EXPECT_EQ(whole.outlineLeftOut + whole.toonLeftOut + whole.shadowedLeftOut, 0);
    // The field fills the lower part of the picture, the clear colour the sky.
    std::size_t field = 0;
    for (std::size_t i = 0; i < culled.outlinedToon.size(); i += 4)
        field += culled.outlinedToon[i + 2] != clearColour.b;
    EXPECT_GT(field, culled.outlinedToon.size() / 4 / 3);
    EXPECT_LT(field, culled.outlinedToon.size() / 4);
    EXPECT_EQ(testsupport::glErrors(), "");
}

// A cube just beside the view, nearer to its edge than the outline's push-out:
// the toon draw may leave it out, the outline draw may not.
TEST_F(MeshTest, WhatThePushedOutOutlineCouldReachIntoTheViewIsKept)
{
    const auto program = testprograms::toon();
    look(glm::mat4(1.0f));
    // The right side of the view from the origin down -z: x = slope * depth.
    const float slope = std::tan(glm::radians(30.0f)) * 200.0f / 150.0f;
    const float half = 0.25f;
    // The cube's far left edge lies 0.01 beyond that side, square to it.
    const float left = slope * (2.0f + half) + 0.01f * std::sqrt(1.0f + slope * slope);
    std::vector<GLuint> indices;
    const std::vector<Vertex> vertices = testgeometry::cube(half, {1.0f, 0.5f, 0.0f}, indices);
    Mesh cube(program->programHandle, vertices, indices, {}, shadowMapping.get(), toonShading.get());
    const glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(left + half, 0.0f, -2.0f));

    glEnable(GL_DEPTH_TEST);
    cube.drawToon(model);
    EXPECT_EQ(cube.lastTrianglesLeftOut(), 12);
    cube.drawSilhouette(model);
    EXPECT_GE(cube.lastTrianglesLeftOut(), 12) << "the front faces in place are as far out as the toon draw's";
    EXPECT_LT(cube.lastTrianglesLeftOut(), 24) << "some pushed-out back faces must be drawn";
    glDisable(GL_DEPTH_TEST);

    // A position that is not a number leaves the box unknown: the mesh is
    // always drawn whole.
    std::vector<Vertex> broken = vertices;
    broken[0].position.x = std::numeric_limits<float>::quiet_NaN();
    Mesh unknown(program->programHandle, broken, indices, {}, shadowMapping.get(), toonShading.get());
    unknown.drawToon(model);
    EXPECT_EQ(unknown.lastTrianglesLeftOut(), 0);
    EXPECT_EQ(testsupport::glErrors(), "");
}
