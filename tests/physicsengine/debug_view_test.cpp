#include "collada_writer.h"
#include "support/gl_context.h"
#include "support/offscreen.h"

#include "physicsengine/debug_view.h"
#include "physicsengine/physics.h"

#include <glm/gtc/matrix_transform.hpp>

using frosk::physicsengine::DebugView;
using frosk::physicsengine::Physics;

namespace {

class DebugViewTest : public testsupport::GlTest {};

} // namespace

TEST_F(DebugViewTest, OutlinesTheShapesOverTheFrameAndRestoresTheState)
{
    Physics physics;
    const testmodels::Mesh ground = testmodels::grid(20, 10);
    physics.addStaticBody(physics.createMeshShape(physics.cookTriangleMesh(ground.points, ground.indices)),
                          glm::mat4(1.0f));
    const testmodels::Mesh board = testmodels::box({-2, 0, -0.1f}, {2, 3, 0.1f});
    physics.addTargetBody(physics.createMeshShape(physics.cookTriangleMesh(board.points, board.indices)),
                          glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -4)), nullptr);
    physics.throwCake({0, 4, 0}, {0, 0, 0}, 1);

    testsupport::OffscreenTarget target(400, 300);
    target.bind();
    target.clear({0, 0, 0, 1});
    glEnable(GL_DEPTH_TEST);
    const glm::mat4 viewProjection = glm::perspective(glm::radians(60.0f), 400.0f / 300.0f, 0.01f, 200.0f)
        * glm::lookAt(glm::vec3(6, 8, 10), glm::vec3(0, 1, 0), glm::vec3(0, 1, 0));
    DebugView view;
    view.draw(physics, viewProjection);
    target.savePng("physics_debug_view");

    EXPECT_EQ(testsupport::glErrors(), "");
    EXPECT_GE(view.lineCount(), 200u * 3u + 12u + 12u);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0);

    const std::vector<unsigned char> pixels = target.readRgba();
    int lit = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        lit += pixels[i] + pixels[i + 1] + pixels[i + 2] > 60;
    EXPECT_GT(lit, 2000);
    EXPECT_LT(lit, 400 * 300 / 2);
    target.unbind();
}
