// Every program the game builds, checked against what its users ask of it:
// the attribute and uniform names they look up (a name the linker dropped
// reads -1 and silently draws nothing), the uniform types they upload with,
// and the attribute locations that meshes share between programs.
#include "shader/names.h"
#include "shader/shader.h"
#include "support/gl_context.h"

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace attribute = frosk::attribute;
namespace uniform = frosk::uniform;

struct Uniform {
    const char* name;
    GLenum type;
};

struct ProgramInterface {
    const char* program;
    std::vector<std::string> files;  // vertex, [geometry,] fragment; two with `feedback`
    bool feedback;
    std::vector<const char*> attributes;
    std::vector<Uniform> uniforms;
};

// Mesh programs share these locations: a mesh builds its vertex arrays from
// its own program and draws them with the plain, outline and shadow programs.
const std::map<std::string, GLint> meshLocations = {{attribute::position, 0}, {attribute::normal, 1}, {attribute::color, 2}, {attribute::uv, 3}};

const GLenum mat4 = GL_FLOAT_MAT4;
const GLenum vec3 = GL_FLOAT_VEC3;
const GLenum scalar = GL_FLOAT;
const GLenum sampler = GL_SAMPLER_2D;
const GLenum shadowSampler = GL_SAMPLER_2D_SHADOW;

const std::vector<ProgramInterface> programs = {
    {"textureShader", {"Shader/texture.vert", "Shader/texture.frag"}, false,
     {attribute::position, attribute::normal, attribute::color, attribute::uv},
     {{uniform::projectionMatrix, mat4}, {uniform::viewMatrix, mat4}, {uniform::modelMatrix, mat4}, {uniform::cameraPosition, vec3},
      {uniform::colorTexture, sampler}}},
    {"basicShader", {"Shader/vertex.vert", "Shader/fragment.frag"}, false,
     {attribute::position, attribute::normal, attribute::color},
     {{uniform::projectionMatrix, mat4}, {uniform::viewMatrix, mat4}, {uniform::modelMatrix, mat4}, {uniform::cameraPosition, vec3}}},
    {"hudShader", {"Shader/2d.vert", "Shader/2d.frag"}, false,
     {attribute::position, attribute::uv},
     {{uniform::orthogonalMatrix, mat4}, {uniform::colorTexture, sampler}}},
    {"skyShader", {"Shader/heaven.vert", "Shader/heaven.frag"}, false,
     {attribute::position, attribute::color, attribute::uv},
     {{uniform::projectionMatrix, mat4}, {uniform::viewMatrix, mat4}, {uniform::modelMatrix, mat4}, {uniform::colorTexture, sampler}}},
    {"shadowDepthShader", {"Shader/sm_shader_pass1.vert", "Shader/sm_shader_pass1.frag"}, false,
     {attribute::position},
     {{uniform::depthVP, mat4}, {uniform::modelMatrix, mat4}}},
    {"shadowCubeShader", {"Shader/sm_cube_shader_pass2.vert", "Shader/sm_cube_shader_pass2.frag"}, false,
     {attribute::position, attribute::normal, attribute::color},
     {{uniform::VP, mat4}, {uniform::depthTranslScalVP, mat4}, {uniform::modelMatrix, mat4}, {uniform::shadowMap, shadowSampler}}},
    {"shadowMaterialShader", {"Shader/sm_material_shader_pass2.vert", "Shader/sm_material_shader_pass2.frag"}, false,
     {attribute::position, attribute::normal, attribute::color},
     {{uniform::VP, mat4}, {uniform::depthTranslScalVP, mat4}, {uniform::modelMatrix, mat4}, {uniform::shadowMap, shadowSampler},
      {uniform::cameraPosition, vec3}}},
    {"shadowTextureShader", {"Shader/sm_texture_shader_pass2.vert", "Shader/sm_texture_shader_pass2.frag"}, false,
     {attribute::position, attribute::normal, attribute::color, attribute::uv},
     {{uniform::VP, mat4}, {uniform::depthTranslScalVP, mat4}, {uniform::modelMatrix, mat4}, {uniform::colorTexture, sampler},
      {uniform::shadowMap, shadowSampler}, {uniform::cameraPosition, vec3}}},
    {"silhouetteShader", {"Shader/toon_silhouette.vert", "Shader/toon_silhouette.frag"}, false,
     {attribute::position, attribute::normal},
     {{uniform::VP, mat4}, {uniform::modelMatrix, mat4}, {uniform::color1, vec3}, {uniform::offset1, scalar}}},
    {"toonMaterialShader", {"Shader/toon_material_shader.vert", "Shader/toon_material_shader.frag"}, false,
     {attribute::position, attribute::normal, attribute::color},
     {{uniform::VP, mat4}, {uniform::depthTranslScalVP, mat4}, {uniform::modelMatrix, mat4}, {uniform::numShades, scalar},
      {uniform::shadowMap, shadowSampler}, {uniform::cameraPosition, vec3}}},
    {"toonTextureShader", {"Shader/toon_texture_shader.vert", "Shader/toon_texture_shader.frag"}, false,
     {attribute::position, attribute::normal, attribute::color, attribute::uv},
     {{uniform::VP, mat4}, {uniform::depthTranslScalVP, mat4}, {uniform::modelMatrix, mat4}, {uniform::numShades, scalar},
      {uniform::colorTexture, sampler}, {uniform::shadowMap, shadowSampler}, {uniform::cameraPosition, vec3}}},
    {"particleUpdateShader", {"Shader/particle_update.vert", "Shader/particle_update.geo"}, true,
     {attribute::type, attribute::position, attribute::age, attribute::velocity, attribute::lifetime, attribute::flydirection},
     {{uniform::deltaT, scalar}}},
    {"particleDrawShader", {"Shader/particle_draw.vert", "Shader/particle_draw.geo", "Shader/particle_draw.frag"}, false,
     {attribute::type, attribute::position},
     {{uniform::modelMatrix, mat4}, {uniform::viewMatrix, mat4}, {uniform::projectionMatrix, mat4}, {uniform::cameraPosition, vec3},
      {uniform::colorTexture, sampler}}},
    {"bloomShader", {"Shader/bloom.vert", "Shader/bloom.frag"}, false,
     {attribute::position, attribute::color},
     {{uniform::projectionMatrix, mat4}, {uniform::viewMatrix, mat4}, {uniform::modelMatrix, mat4}}},
    // The cover paints plain black, so the vertex colour is not among its inputs.
    {"bloomCoverShader", {"Shader/bloom.vert", "Shader/bloomcover.frag"}, false,
     {attribute::position},
     {{uniform::projectionMatrix, mat4}, {uniform::viewMatrix, mat4}, {uniform::modelMatrix, mat4}}},
    {"compositeShader", {"Shader/drawframebuffer.vert", "Shader/drawframebuffer.frag"}, false,
     {attribute::position, attribute::texcoord},
     {{uniform::scene, sampler}, {uniform::fboTexture, sampler}}},
    {"blurHorizontalShader", {"Shader/gaussianblur.vert", "Shader/gaussianblur1.frag"}, false,
     {attribute::position, attribute::texcoord},
     {{uniform::fboTexture, sampler}, {uniform::blurSize, scalar}}},
    {"blurVerticalShader", {"Shader/gaussianblur.vert", "Shader/gaussianblur2.frag"}, false,
     {attribute::position, attribute::texcoord},
     {{uniform::fboTexture, sampler}, {uniform::blurSize, scalar}}},
    {"textShader", {"Shader/text_render.vert", "Shader/text_render.frag"}, false,
     {attribute::position, attribute::texcoord},
     {{uniform::orthogonalMatrix, mat4}, {uniform::textColor, vec3}, {uniform::textTexture, sampler}}},
};

// Names the program in test output instead of dumping its bytes.
void PrintTo(const ProgramInterface& p, std::ostream* out)
{
    *out << p.program;
}

std::unique_ptr<frosk::Shader> build(const ProgramInterface& p)
{
    if (p.feedback)
        return std::make_unique<frosk::Shader>(p.files[0], p.files[1], true);
    if (p.files.size() == 3)
        return std::make_unique<frosk::Shader>(p.files[0], p.files[1], p.files[2]);
    return std::make_unique<frosk::Shader>(p.files[0], p.files[1]);
}

GLenum uniformType(GLuint program, const char* name)
{
    GLuint index = GL_INVALID_INDEX;
    glGetUniformIndices(program, 1, &name, &index);
    if (index == GL_INVALID_INDEX)
        return GL_NONE;
    GLint type = 0;
    glGetActiveUniformsiv(program, 1, &index, GL_UNIFORM_TYPE, &type);
    return static_cast<GLenum>(type);
}

std::vector<std::string> activeAttributes(GLuint program)
{
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_ATTRIBUTES, &count);
    std::vector<std::string> names;
    for (GLint i = 0; i < count; ++i) {
        char name[64];
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(program, static_cast<GLuint>(i), sizeof(name), nullptr, &size, &type, name);
        names.push_back(name);
    }
    return names;
}

class ProgramInterfaceTest : public testsupport::GlTest, public ::testing::WithParamInterface<ProgramInterface> {};

TEST_P(ProgramInterfaceTest, BuildsWithEveryNameItsUsersAskFor)
{
    const ProgramInterface& p = GetParam();
    const auto shader = build(p);
    const GLuint program = shader->programHandle;
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    ASSERT_EQ(linked, GL_TRUE);

    for (const char* name : p.attributes)
        EXPECT_GE(glGetAttribLocation(program, name), 0) << "attribute \"" << name << "\" of " << p.program;
    for (const Uniform& u : p.uniforms) {
        EXPECT_GE(glGetUniformLocation(program, u.name), 0) << "uniform \"" << u.name << "\" of " << p.program;
        EXPECT_EQ(uniformType(program, u.name), u.type) << "type of uniform \"" << u.name << "\" of " << p.program;
    }
    // Nothing beyond what the users feed: an extra input would read garbage.
    EXPECT_EQ(activeAttributes(program).size(), p.attributes.size()) << p.program;

    if (!p.feedback) {
        EXPECT_EQ(glGetFragDataLocation(program, frosk::output::fragColor), 0) << p.program;
    }
    EXPECT_EQ(testsupport::glErrors(), "");
}

INSTANTIATE_TEST_SUITE_P(AllNineteen, ProgramInterfaceTest, ::testing::ValuesIn(programs),
                         [](const ::testing::TestParamInfo<ProgramInterface>& info) {
                             return std::string(info.param.program);
                         });

class MeshPrograms : public testsupport::GlTest {};

TEST_F(MeshPrograms, AgreeOnTheLocationsOfTheSharedAttributes)
{
    const std::vector<std::string> drawnFromMeshArrays = {
        "textureShader", "basicShader", "skyShader", "shadowDepthShader", "shadowCubeShader",
        "shadowMaterialShader", "shadowTextureShader", "silhouetteShader", "toonMaterialShader",
        "toonTextureShader", "bloomShader", "bloomCoverShader"};
    for (const ProgramInterface& p : programs) {
        if (std::find(drawnFromMeshArrays.begin(), drawnFromMeshArrays.end(), p.program) == drawnFromMeshArrays.end())
            continue;
        const auto shader = build(p);
        for (const auto& [name, location] : meshLocations) {
            const GLint found = glGetAttribLocation(shader->programHandle, name.c_str());
            if (found >= 0) {
                EXPECT_EQ(found, location) << "attribute \"" << name << "\" of " << p.program;
            }
        }
    }
}

class FeedbackRecord : public testsupport::GlTest {};

TEST_F(FeedbackRecord, UpdateProgramWritesTheFortyByteParticleRecordInOrder)
{
    frosk::Shader shader("Shader/particle_update.vert", "Shader/particle_update.geo", true);
    const GLuint program = shader.programHandle;

    GLint count = 0, mode = 0;
    glGetProgramiv(program, GL_TRANSFORM_FEEDBACK_VARYINGS, &count);
    glGetProgramiv(program, GL_TRANSFORM_FEEDBACK_BUFFER_MODE, &mode);
    EXPECT_EQ(count, 6);
    EXPECT_EQ(mode, GL_INTERLEAVED_ATTRIBS);

    const auto& names = frosk::output::particleRecord;
    const std::vector<std::pair<std::string, GLenum>> record = {
        {names[0], GL_FLOAT}, {names[1], GL_FLOAT_VEC3}, {names[2], GL_FLOAT},
        {names[3], GL_FLOAT}, {names[4], GL_FLOAT},      {names[5], GL_FLOAT_VEC3}};
    int floats = 0;
    for (GLint i = 0; i < count && i < 6; ++i) {
        char name[64];
        GLsizei size = 0;
        GLenum type = 0;
        glGetTransformFeedbackVarying(program, static_cast<GLuint>(i), sizeof(name), nullptr, &size, &type, name);
        EXPECT_EQ(name, record[static_cast<size_t>(i)].first);
        EXPECT_EQ(type, record[static_cast<size_t>(i)].second) << name;
        EXPECT_EQ(size, 1) << name;
        floats += type == GL_FLOAT_VEC3 ? 3 : 1;
    }
    EXPECT_EQ(floats * 4, 40);
    EXPECT_EQ(testsupport::glErrors(), "");
}

class ShaderForms : public testsupport::GlTest {};

// Three file names written as literals must build the three-stage program,
// not the feedback form whose selector is a bool.
TEST_F(ShaderForms, ThreeLiteralFileNamesBuildVertexGeometryAndFragment)
{
    frosk::Shader shader("Shader/particle_draw.vert", "Shader/particle_draw.geo", "Shader/particle_draw.frag");
    EXPECT_NE(shader.fragmentHandle, 0u);
    EXPECT_NE(shader.geometryHandle, 0u);
    GLint attached = 0;
    glGetProgramiv(shader.programHandle, GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 3);

    frosk::Shader feedback("Shader/particle_update.vert", "Shader/particle_update.geo", true);
    EXPECT_EQ(feedback.fragmentHandle, 0u);
    glGetProgramiv(feedback.programHandle, GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 2);
}

} // namespace
