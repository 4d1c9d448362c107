// Draws every generated model alone, plainly lit, into a picture under
// build/screenshots/ for a person to look at; the levels also with their
// targets and snowmen in place, and the hand with the held cake as the
// player sees them.

#include "model_scene.h"
#include "support/gl_context.h"
#include "support/offscreen.h"

#include "assetgen.h"

#include <IL/il.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <map>
#include <memory>

namespace {

using assettest::Part;
using assettest::Scene;
using glm::mat4;
using glm::vec3;

const char* vertexSource = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec3 color;
layout(location = 3) in vec2 uv;
uniform mat4 viewProjection;
uniform mat4 model;
out vec3 worldNormal;
out vec3 vertexColor;
out vec2 texCoord;
void main()
{
    worldNormal = mat3(model) * normal;
    vertexColor = color;
    texCoord = uv;
    gl_Position = viewProjection * model * vec4(position, 1.0);
})";

const char* fragmentSource = R"(#version 330 core
in vec3 worldNormal;
in vec3 vertexColor;
in vec2 texCoord;
uniform sampler2D colorTexture;
uniform float unlit;
out vec4 fragColor;
void main()
{
    float light = max(dot(normalize(worldNormal), normalize(vec3(0.4, 0.9, 0.3))), 0.0);
    vec3 albedo = texture(colorTexture, texCoord).rgb * vertexColor;
    fragColor = vec4(albedo * mix(0.35 + 0.65 * light, 1.0, unlit), 1.0);
})";

GLuint compile(GLenum type, const char* source)
{
    const GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
}

// A model uploaded for drawing, textures loaded from Textures/ as the game
// loads them (upper-left origin).
class DrawnModel {
public:
    explicit DrawnModel(const Scene& scene)
    {
        for (const Part& p : scene.parts) {
            Piece piece;
            std::vector<float> data;
            for (size_t i = 0; i < p.positions.size(); ++i) {
                for (const float* v : {glm::value_ptr(p.positions[i]), glm::value_ptr(p.normals[i]), glm::value_ptr(p.colours[i])})
                    data.insert(data.end(), v, v + 3);
                data.push_back(p.uvs[i].x);
                data.push_back(p.uvs[i].y);
            }
            glGenVertexArrays(1, &piece.vao);
            glBindVertexArray(piece.vao);
            glGenBuffers(1, &piece.vbo);
            glBindBuffer(GL_ARRAY_BUFFER, piece.vbo);
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * 4), data.data(), GL_STATIC_DRAW);
            for (GLuint a = 0; a < 4; ++a) {
                glEnableVertexAttribArray(a);
                glVertexAttribPointer(a, a == 3 ? 2 : 3, GL_FLOAT, GL_FALSE, 44, reinterpret_cast<void*>(static_cast<uintptr_t>(a * 12)));
            }
            glGenBuffers(1, &piece.ibo);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, piece.ibo);
            glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(p.indices.size() * 4), p.indices.data(), GL_STATIC_DRAW);
            glBindVertexArray(0);
            piece.count = static_cast<GLsizei>(p.indices.size());
            piece.texture = texture(p.texture);
            pieces.push_back(piece);
        }
    }
    ~DrawnModel()
    {
        for (Piece& p : pieces) {
            glDeleteVertexArrays(1, &p.vao);
            glDeleteBuffers(1, &p.vbo);
            glDeleteBuffers(1, &p.ibo);
        }
        for (auto& [name, t] : textures)
            glDeleteTextures(1, &t);
    }
    void draw(GLuint program, const mat4& model) const
    {
        glUniformMatrix4fv(glGetUniformLocation(program, "model"), 1, GL_FALSE, glm::value_ptr(model));
        for (const Piece& p : pieces) {
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, p.texture);
            glBindVertexArray(p.vao);
            glDrawElements(GL_TRIANGLES, p.count, GL_UNSIGNED_INT, nullptr);
        }
        glBindVertexArray(0);
    }

private:
    struct Piece {
        GLuint vao = 0, vbo = 0, ibo = 0, texture = 0;
        GLsizei count = 0;
    };
    GLuint texture(const std::string& file)
    {
        auto found = textures.find(file);
        if (found != textures.end())
            return found->second;
        GLuint t = 0;
        glGenTextures(1, &t);
        glBindTexture(GL_TEXTURE_2D, t);
        const unsigned char white[4] = {255, 255, 255, 255};
        ilInit();
        ILuint image = 0;
        ilGenImages(1, &image);
        ilBindImage(image);
        ilEnable(IL_ORIGIN_SET);
        ilOriginFunc(IL_ORIGIN_UPPER_LEFT);
        if (!file.empty() && ilLoadImage(("Textures/" + file).c_str()) && ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE))
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, ilGetInteger(IL_IMAGE_WIDTH), ilGetInteger(IL_IMAGE_HEIGHT), 0,
                         GL_RGBA, GL_UNSIGNED_BYTE, ilGetData());
        else
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
        ilDeleteImages(1, &image);
        glGenerateMipmap(GL_TEXTURE_2D);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        textures[file] = t;
        return t;
    }
    std::vector<Piece> pieces;
    std::map<std::string, GLuint> textures;
};

class AssetPictures : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        offscreen = std::make_unique<testsupport::OffscreenTarget>(320, 240);
        program = glCreateProgram();
        const GLuint vs = compile(GL_VERTEX_SHADER, vertexSource), fs = compile(GL_FRAGMENT_SHADER, fragmentSource);
        glAttachShader(program, vs);
        glAttachShader(program, fs);
        glLinkProgram(program);
        glDeleteShader(vs);
        glDeleteShader(fs);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        ASSERT_TRUE(linked);
    }
    void TearDown() override
    {
        glDeleteProgram(program);
        offscreen.reset();
        GlTest::TearDown();
    }

    std::unique_ptr<DrawnModel> load(const std::string& path)
    {
        const Scene scene = assettest::readModel(path, assettest::drawnFlags);
        EXPECT_TRUE(scene.loaded) << path << ": " << scene.error;
        lastScene = scene;
        return std::make_unique<DrawnModel>(scene);
    }

    // Starts a picture: clears to a sky grey and sets the camera.
    void begin(const mat4& viewProjection, bool unlit = false)
    {
        offscreen->clear(glm::vec4(background, 1.0f));
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glUseProgram(program);
        glUniformMatrix4fv(glGetUniformLocation(program, "viewProjection"), 1, GL_FALSE, glm::value_ptr(viewProjection));
        glUniform1i(glGetUniformLocation(program, "colorTexture"), 0);
        glUniform1f(glGetUniformLocation(program, "unlit"), unlit ? 1.0f : 0.0f);
    }

    // Ends it: saves the picture and returns the share of pixels the models covered.
    double finish(const std::string& name)
    {
        glDisable(GL_CULL_FACE);
        glUseProgram(0);
        offscreen->savePng("asset_" + name);
        const std::vector<unsigned char> rgba = offscreen->readRgba();
        size_t covered = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            covered += glm::length(vec3(rgba[i], rgba[i + 1], rgba[i + 2]) / 255.0f - background) > 0.02f;
        EXPECT_EQ(testsupport::glErrors(), "");
        return static_cast<double>(covered) / (rgba.size() / 4);
    }

    // A three-quarter view from the front (+x) that fits the model's bounds.
    mat4 framing(const Scene& s, const vec3& from = vec3(1.0f, 0.55f, 0.75f)) const
    {
        const vec3 centre = (s.low + s.high) * 0.5f;
        const float radius = glm::length(s.high - s.low) * 0.5f;
        const float distance = radius / std::sin(glm::radians(25.0f));
        const vec3 eye = centre + glm::normalize(from) * distance;
        return glm::perspective(glm::radians(50.0f), aspect, distance * 0.05f, distance * 3.0f) *
               glm::lookAt(eye, centre, vec3(0, 1, 0));
    }

    const vec3 background{0.62f, 0.66f, 0.72f};
    const float aspect = 4.0f / 3.0f;
    std::unique_ptr<testsupport::OffscreenTarget> offscreen;
    GLuint program = 0;
    Scene lastScene;
};

TEST_F(AssetPictures, EachSmallModelAlone)
{
    const char* names[] = {"cakeTex_1", "cakeTex_2", "cakeTex_3", "cakeTex_4", "cakeTex_3_small",
                           "handTex_46", "snowman_animation", "target6",
                           // Collision models, drawn to compare them with what they stand for.
                           "level1_boundingbox3", "level2_boundingbox", "snowman_boundingbox2",
                           "snowman_boundingbox_woman", "snowman_boundingbox_child", "target5"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        auto model = load(std::string("Models/") + name + ".dae");
        begin(framing(lastScene));
        model->draw(program, mat4(1.0f));
        EXPECT_GT(finish(name), 0.03);
    }
}

TEST_F(AssetPictures, HandHoldsTheCakeLowOnTheRightOfThePlayersView)
{
    auto hand = load("Models/handTex_46.dae");
    auto cake = load("Models/cakeTex_3_small.dae");
    // The player's camera at yaw 0: at the origin looking along +z.
    begin(glm::perspective(glm::radians(60.0f), aspect, 0.01f, 200.0f) *
          glm::lookAt(vec3(0.0f), vec3(0, 0, 1), vec3(0, 1, 0)));
    hand->draw(program, mat4(1.0f));
    cake->draw(program, mat4(1.0f));
    const double covered = finish("held_view");
    EXPECT_GT(covered, 0.02);
    EXPECT_LT(covered, 0.3);
    // Drawn in the lower right quarter only (rows come back bottom-up).
    const std::vector<unsigned char> rgba = offscreen->readRgba();
    for (int y = 0; y < offscreen->height; ++y)
        for (int x = 0; x < offscreen->width; ++x) {
            const unsigned char* p = &rgba[(static_cast<size_t>(y) * offscreen->width + x) * 4];
            const bool drawn = glm::length(vec3(p[0], p[1], p[2]) / 255.0f - background) > 0.02f;
            if (drawn && (x < offscreen->width * 0.45 || y > offscreen->height * 0.55))
                FAIL() << "hand or cake drawn at (" << x << ", " << y << ")";
        }
}

TEST_F(AssetPictures, SkyFromInside)
{
    auto sky = load("Models/heaven.dae");
    begin(glm::perspective(glm::radians(60.0f), aspect, 0.01f, 200.0f) *
          glm::lookAt(vec3(0.0f), vec3(1, 0.25f, 0.2f), vec3(0, 1, 0)), true);
    sky->draw(program, mat4(1.0f));
    EXPECT_GT(finish("heaven"), 0.99) << "the dome must surround the camera, facing inwards";
}

// The level's landscape with its targets at their starting places (and the
// snowmen of level 2), from high above and from where the player starts.
TEST_F(AssetPictures, LevelsWithTheirTargetsInPlace)
{
    for (int level : {1, 2, 3}) {
        const std::string file = level == 1 ? "level1_big_trees" : level == 2 ? "level2_trees" : "Terrain_3";
        SCOPED_TRACE(file);
        auto terrain = load("Models/" + file + ".dae");
        auto targetModel = load("Models/target6.dae");
        auto snowman = load("Models/snowman_animation.dae");
        const mat4 placed = glm::translate(mat4(1.0f), vec3(0, -2, 0));
        const mat4 views[2] = {
            glm::perspective(glm::radians(50.0f), aspect, 1.0f, 400.0f) *
                glm::lookAt(vec3(-60, 70, -75), vec3(0, -2, 0), vec3(0, 1, 0)),
            glm::perspective(glm::radians(60.0f), aspect, 0.01f, 200.0f) *
                glm::lookAt(vec3(0, 0.5f, 0), vec3(0.2f, 0.45f, 1), vec3(0, 1, 0)),
        };
        const char* suffix[2] = {"_overview", "_player"};
        for (int v = 0; v < 2; ++v) {
            begin(views[v]);
            terrain->draw(program, placed);
            for (const assetgen::TargetPlacement& t : assetgen::levelTargets(level))
                targetModel->draw(program, assetgen::targetMatrix(t, 0.0f));
            if (level == 2) {
                const float scales[3] = {1.0f, 0.5f, 0.9f}, angles[3] = {125, 140, 100};
                const glm::vec2* spot = assetgen::snowmanSpots().data();
                for (int k = 0; k < 3; ++k)
                    snowman->draw(program, glm::translate(mat4(1.0f), vec3(spot[k].x, -1.95f, spot[k].y)) *
                                               glm::rotate(mat4(1.0f), glm::radians(angles[k]), vec3(0, 1, 0)) *
                                               glm::scale(mat4(1.0f), vec3(scales[k])));
            }
            EXPECT_GT(finish(file + suffix[v]), 0.3);
        }
        // Each standing target close up, from in front of its face, to see what carries it.
        int index = 0;
        for (const assetgen::TargetPlacement& t : assetgen::levelTargets(level)) {
            ++index;
            if (t.moving())
                continue;
            const mat4 m = assetgen::targetMatrix(t, 0.0f);
            const vec3 centre(m * glm::vec4(0, 0.8f, 0, 1));
            const vec3 eye(m * glm::vec4(6.0f, 2.5f, 2.0f, 1));
            begin(glm::perspective(glm::radians(50.0f), aspect, 0.05f, 300.0f) * glm::lookAt(eye, centre, vec3(0, 1, 0)));
            terrain->draw(program, placed);
            targetModel->draw(program, m);
            finish(file + "_target" + std::to_string(index));
        }
    }
}

} // namespace
