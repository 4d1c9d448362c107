#include "datastructures/tree_node.h"

#include "support/gl_context.h"
#include "support/offscreen.h"
#include "test_geometry.h"
#include "test_programs.h"

#include <glm/gtc/matrix_transform.hpp>

#include <string>
#include <vector>

using frosk::datastructures::Mesh;
using frosk::datastructures::TreeNode;

namespace {

struct Call {
    std::string what;
    std::string mesh;
    glm::mat4 model;
};

// A mesh that notes every virtual draw it receives, and its destruction.
class RecordingMesh : public Mesh {
public:
    RecordingMesh(std::string name, std::vector<Call>& calls, GLuint program)
        : Mesh(program, testgeometry::square(0, 0, 1, 1, 0, {1, 1, 1}), testgeometry::squareIndices(), {}, nullptr,
               nullptr),
          name(std::move(name)),
          calls(calls)
    {
    }
    ~RecordingMesh() override { calls.push_back({"destroyed", name, glm::mat4(1.0f)}); }

    void drawDepth(glm::mat4 model) override { calls.push_back({"depth", name, model}); }
    void drawShadowed(glm::mat4 model) override { calls.push_back({"shadowed", name, model}); }
    void drawSilhouette(glm::mat4 model) override { calls.push_back({"silhouette", name, model}); }
    void drawToon(glm::mat4 model) override { calls.push_back({"toon", name, model}); }

    std::string name;
    std::vector<Call>& calls;
};

glm::mat4 translation(float x, float y, float z)
{
    return glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z));
}

class TreeNodeTest : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        program = testprograms::plainColour();
    }

    // root (turned, mesh "root") -> a (x + 1, no mesh) -> b (y + 2, meshes "b1" "b2")
    //                            -> c (z + 3, mesh "c")
    std::unique_ptr<TreeNode> buildTree()
    {
        auto root = std::make_unique<TreeNode>(glm::rotate(glm::mat4(1.0f), 0.7f, glm::vec3(0, 1, 0)));
        root->meshes.push_back(std::make_unique<RecordingMesh>("root", calls, program->programHandle));
        auto a = std::make_unique<TreeNode>(translation(1, 0, 0));
        auto b = std::make_unique<TreeNode>(translation(0, 2, 0));
        b->meshes.push_back(std::make_unique<RecordingMesh>("b1", calls, program->programHandle));
        b->meshes.push_back(std::make_unique<RecordingMesh>("b2", calls, program->programHandle));
        a->children.push_back(std::move(b));
        root->children.push_back(std::move(a));
        auto c = std::make_unique<TreeNode>(translation(0, 0, 3));
        c->meshes.push_back(std::make_unique<RecordingMesh>("c", calls, program->programHandle));
        root->children.push_back(std::move(c));
        return root;
    }

    std::unique_ptr<frosk::Shader> program;
    std::vector<Call> calls;
};

} // namespace

TEST_F(TreeNodeTest, TraversalsComposeParentTimesChildDepthFirstMeshesBeforeChildren)
{
    const std::unique_ptr<TreeNode> root = buildTree();
    const glm::mat4 model = glm::scale(translation(5, 0, 0), glm::vec3(2.0f));
    using Traversal = void (TreeNode::*)(glm::mat4);
    const std::pair<Traversal, std::string> traversals[] = {{&TreeNode::drawDepth, "depth"},
                                                            {&TreeNode::drawShadowed, "shadowed"},
                                                            {&TreeNode::drawSilhouette, "silhouette"},
                                                            {&TreeNode::drawToon, "toon"}};
    for (const auto& [traversal, what] : traversals) {
        calls.clear();
        ((*root).*traversal)(model);
        ASSERT_EQ(calls.size(), 4u) << what;
        // The root's own transform is for the caller to apply; a node without
        // meshes still hands its matrix on.
        const std::vector<std::pair<std::string, glm::mat4>> expected = {
            {"root", model},
            {"b1", model * translation(1, 0, 0) * translation(0, 2, 0)},
            {"b2", model * translation(1, 0, 0) * translation(0, 2, 0)},
            {"c", model * translation(0, 0, 3)}};
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(calls[i].what, what);
            EXPECT_EQ(calls[i].mesh, expected[i].first) << what;
            EXPECT_EQ(calls[i].model, expected[i].second) << what << " " << expected[i].first;
        }
    }
    EXPECT_EQ(calls[1].model[3], glm::vec4(5 + 2, 4, 0, 1)) << "translations are scaled by the model";
}

TEST_F(TreeNodeTest, DestroyingANodeDestroysItsMeshesBeforeItsChildren)
{
    buildTree().reset();
    std::vector<std::string> order;
    for (const Call& call : calls)
        order.push_back(call.mesh);
    EXPECT_EQ(order, (std::vector<std::string>{"root", "b1", "b2", "c"}));
}

// The non-virtual draws, seen in pixels: two unit squares, one in a child
// moved right and one in a grandchild moved up as well.
TEST_F(TreeNodeTest, PlainAndSecondaryDrawsPlaceEveryMeshAtItsComposedMatrix)
{
    const auto second = testprograms::secondary();
    testsupport::OffscreenTarget target(100, 100);
    const auto squareMesh = [&](const glm::vec3& colour) {
        return std::make_unique<Mesh>(program->programHandle, second->programHandle,
                                      testgeometry::square(0, 0, 0.5f, 0.5f, 0, colour),
                                      testgeometry::squareIndices(), std::vector<GLuint>(), nullptr, nullptr);
    };
    TreeNode root(translation(9, 9, 9));
    auto child = std::make_unique<TreeNode>(translation(0.5f, 0, 0));
    child->meshes.push_back(squareMesh({1, 0, 0}));
    auto grandchild = std::make_unique<TreeNode>(translation(0, 0.5f, 0));
    grandchild->meshes.push_back(squareMesh({0, 1, 0}));
    child->children.push_back(std::move(grandchild));
    root.children.push_back(std::move(child));

    // Squares of a quarter of the target; from (-1, -1) the child covers the
    // lower middle-right quarter, the grandchild the upper one above it.
    const glm::mat4 model = translation(-1, -1, 0) * glm::scale(glm::mat4(1.0f), glm::vec3(2, 2, 1));
    for (bool secondary : {false, true}) {
        target.bind();
        target.clear({0, 0, 0, 1});
        if (secondary) {
            root.drawSecondary(model);
        } else {
            glUseProgram(program->programHandle);
            root.draw(model);
        }
        EXPECT_EQ(target.pixel(75, 25), glm::u8vec4(255, 0, 0, 255)) << secondary;
        EXPECT_EQ(target.pixel(75, 75), glm::u8vec4(0, 255, 0, 255)) << secondary;
        EXPECT_EQ(target.pixel(25, 25), glm::u8vec4(0, 0, 0, 255)) << secondary;
        EXPECT_EQ(target.pixel(25, 75), glm::u8vec4(0, 0, 0, 255)) << secondary;
    }
    target.unbind();
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(TreeNodeTest, TextureFilterReachesEveryMeshOfTheTree)
{
    GLuint textures[2];
    glGenTextures(2, textures);
    for (GLuint texture : textures) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }
    const auto texturedMesh = [&](GLuint texture) {
        return std::make_unique<Mesh>(program->programHandle, testgeometry::square(0, 0, 1, 1, 0, {1, 1, 1}),
                                      testgeometry::squareIndices(), std::vector<GLuint>{texture}, nullptr,
                                      nullptr);
    };
    TreeNode root;
    root.meshes.push_back(texturedMesh(textures[0]));
    root.children.push_back(std::make_unique<TreeNode>());
    root.children[0]->children.push_back(std::make_unique<TreeNode>());
    root.children[0]->children[0]->meshes.push_back(texturedMesh(textures[1]));

    root.setTextureFilter(GL_NEAREST);
    for (GLuint texture : textures) {
        GLint min = 0, mag = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
        EXPECT_EQ(min, GL_NEAREST);
        EXPECT_EQ(mag, GL_NEAREST);
    }
    glDeleteTextures(2, textures);
    EXPECT_EQ(testsupport::glErrors(), "");
}

// The footprint of squares through the eye's perspective: before the eye it
// is where they show; wholly behind it, nothing; a tree reaching behind the
// eye may show anywhere once the near plane cuts it. Through the light's
// orthographic view every vertex counts as it lies.
TEST_F(TreeNodeTest, FootprintThroughAPerspectiveKnowsWhatLiesBehindTheEye)
{
    const glm::mat4 eye = glm::perspective(glm::radians(90.0f), 1.0f, 0.1f, 100.0f);
    const auto squareAt = [&](float z) {
        auto node = std::make_unique<TreeNode>(translation(0, 0, z));
        node->meshes.push_back(std::make_unique<RecordingMesh>("square", calls, program->programHandle));
        return node;
    };

    TreeNode before;
    before.children.push_back(squareAt(-2.0f));
    const auto [low, high] = before.footprint(eye);
    EXPECT_NEAR(low.x, 0.0f, 1e-6f);
    EXPECT_NEAR(low.y, 0.0f, 1e-6f);
    EXPECT_NEAR(high.x, 0.5f, 1e-6f);
    EXPECT_NEAR(high.y, 0.5f, 1e-6f);

    TreeNode behind;
    behind.children.push_back(squareAt(2.0f));
    const auto [behindLow, behindHigh] = behind.footprint(eye);
    EXPECT_GT(behindLow.x, behindHigh.x) << "nothing of it is drawn";

    TreeNode both;
    both.children.push_back(squareAt(-2.0f));
    both.children.push_back(squareAt(2.0f));
    const auto [bothLow, bothHigh] = both.footprint(eye);
    EXPECT_EQ(bothLow, glm::vec2(-1.0f));
    EXPECT_EQ(bothHigh, glm::vec2(1.0f));

    const glm::mat4 light = glm::ortho(-4.0f, 4.0f, -4.0f, 4.0f, 0.0f, 10.0f);
    const auto [lightLow, lightHigh] = both.footprint(light);
    EXPECT_NEAR(lightLow.x, 0.0f, 1e-6f);
    EXPECT_NEAR(lightHigh.x, 0.25f, 1e-6f);
}
