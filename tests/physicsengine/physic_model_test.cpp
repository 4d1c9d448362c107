#include "world_fixture.h"

#include "modelLoader/physic_model.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <tuple>
#include <unistd.h>

using namespace testworld;
using frosk::modelLoader::PhysicModel;

namespace {

std::string modelPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() / "crumbrise_physic_model" / name).string();
}

testmodels::Mesh triangle(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c)
{
    return {{a, b, c}, {0, 1, 2}};
}

using Point = std::tuple<int, int, int>; // millimetres

Point mm(const glm::vec3& p)
{
    return {static_cast<int>(std::lround(p.x * 1000)), static_cast<int>(std::lround(p.y * 1000)),
            static_cast<int>(std::lround(p.z * 1000))};
}

class PhysicModelTest : public WorldTest {
protected:
    std::set<Point> outlinePoints()
    {
        std::vector<float> lines;
        physics->debugLines(lines);
        std::set<Point> points;
        for (std::size_t i = 0; i < lines.size(); i += 6)
            points.insert(mm({lines[i], lines[i + 1], lines[i + 2]}));
        return points;
    }
};

// Three meshes in two nodes: the first node, lifted by 1, holds meshes 0 and
// 1; its child, moved 5 along x, holds mesh 2.
testmodels::Model threeMeshesInTwoNodes()
{
    testmodels::Model model;
    model.meshes = {triangle({0, 0, 0}, {1, 0, 0}, {0, 0, 1}), triangle({0, 2, 0}, {1, 2, 0}, {0, 2, 1}),
                    triangle({0, 0, 0}, {2, 0, 0}, {0, 0, 2})};
    testmodels::Node child{"child", at(5, 0, 0), {2}, {}};
    model.roots = {testmodels::Node{"parent", at(0, 1, 0), {0, 1}, {child}}};
    return model;
}

} // namespace

TEST_F(PhysicModelTest, StaticActorsOnePerMeshWithBakedPointsAndTheWorldPose)
{
    const std::string path = modelPath("three_meshes.dae");
    testmodels::write(threeMeshesInTwoNodes(), path);
    PhysicModel model;
    model.loadStaticActors(*physics, path, at(100, 0, 0));

    ASSERT_EQ(model.actors.size(), 3u);
    EXPECT_EQ(physics->bodyCount(), 3u);
    EXPECT_EQ(model.worldTransform, at(100, 0, 0));
    ASSERT_NE(model.shape, nullptr);
    for (Body* actor : model.actors) {
        EXPECT_EQ(physics->groupOf(actor), frosk::physicsengine::groupStatic);
        EXPECT_EQ(physics->position(actor), glm::vec3(100, 0, 0));
    }
    const std::set<Point> points = outlinePoints();
    for (const glm::vec3& expected : {glm::vec3(100, 1, 0), glm::vec3(101, 1, 0), glm::vec3(100, 3, 1),
                                      glm::vec3(105, 1, 0), glm::vec3(107, 1, 0), glm::vec3(105, 1, 2)})
        EXPECT_TRUE(points.count(mm(expected))) << expected.x << ' ' << expected.y << ' ' << expected.z;

    physics->removeBodies(model.actors);
    EXPECT_EQ(physics->bodyCount(), 0u);
}

TEST_F(PhysicModelTest, LoadShapeCooksTheFirstMeshOfTheFirstNodeWithMeshes)
{
    testmodels::Model file;
    file.meshes = {triangle({0, 0, 0}, {1, 0, 0}, {0, 0, 1}), triangle({0, 0, 0}, {3, 0, 0}, {0, 0, 3}),
                   triangle({0, 0, 0}, {7, 0, 0}, {0, 0, 7})};
    testmodels::Node first{"first", at(0, 2, 0), {0, 1}, {}};
    testmodels::Node second{"second", glm::mat4(1.0f), {2}, {}};
    file.roots = {testmodels::Node{"empty", at(10, 0, 0), {}, {first, second}}};
    const std::string path = modelPath("first_child.dae");
    testmodels::write(file, path);

    PhysicModel model;
    auto shape = model.loadShape(*physics, path, at(0, 0, 50));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(model.shape, shape);
    EXPECT_EQ(model.worldTransform, at(0, 0, 50));
    EXPECT_TRUE(model.actors.empty());
    EXPECT_EQ(physics->bodyCount(), 0u);

    physics->addStaticBody(shape, glm::mat4(1.0f));
    const std::set<Point> points = outlinePoints();
    EXPECT_TRUE(points.count(mm({11, 2, 0})));
    EXPECT_FALSE(points.count(mm({13, 2, 0})));
    EXPECT_FALSE(points.count(mm({7, 0, 0})));
}

TEST_F(PhysicModelTest, ABoxDroppedOnALoadedTerrainComesToRestAndSleepsOnce)
{
    testmodels::Model file;
    file.meshes = {testmodels::grid(60, 30)};
    file.roots = {testmodels::Node{"terrain", glm::mat4(1.0f), {0}, {}}};
    const std::string path = modelPath("terrain.dae");
    testmodels::write(file, path);
    PhysicModel terrain;
    terrain.loadStaticActors(*physics, path, at(0, -1, 0));
    ASSERT_EQ(terrain.actors.size(), 1u);

    Body* cake = physics->throwCake({2, 3, 1}, {2, 0, 1}, 1);
    run(4.0);
    ASSERT_EQ(reports.slept.size(), 1u);
    EXPECT_EQ(reports.slept[0], cake);
    EXPECT_NEAR(physics->position(cake).y, -0.5f, 0.05f);
    EXPECT_TRUE(reports.contacts.empty());
}

TEST_F(PhysicModelTest, MeshesThatCannotBeUsedAreSkippedWithAMessageNamingTheFile)
{
    testmodels::Model file;
    testmodels::Mesh lines{{{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {0, 1, 1, 2}, true};
    file.meshes = {triangle({0, 0, 0}, {1, 0, 0}, {0, 0, 1}), triangle({0, 0, 0}, {1, 0, 0}, {2, 0, 0}),
                   lines, triangle({0, 0, 0}, {NAN, 0, 0}, {0, 0, 1})};
    file.roots = {testmodels::Node{"all", glm::mat4(1.0f), {0, 1, 2, 3}, {}}};
    const std::string path = modelPath("broken_meshes.dae");
    testmodels::write(file, path);

    PhysicModel model;
    ::testing::internal::CaptureStdout();
    model.loadStaticActors(*physics, path, glm::mat4(1.0f));
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(model.actors.size(), 1u);
    EXPECT_EQ(physics->bodyCount(), 1u);
    for (Body* actor : model.actors)
        EXPECT_NE(actor, nullptr);
    EXPECT_NE(output.find("skipped: all of its triangles are degenerate"), std::string::npos) << output;
    EXPECT_NE(output.find("skipped: no triangles"), std::string::npos) << output;
    EXPECT_NE(output.find("skipped: a vertex position is not a finite number"), std::string::npos) << output;
    EXPECT_NE(output.find(path), std::string::npos) << output;

    // loadShape on a file whose only mesh cannot be used gives no shape.
    testmodels::Model flat;
    flat.meshes = {triangle({0, 0, 0}, {1, 1, 1}, {2, 2, 2})};
    flat.roots = {testmodels::Node{"flat", glm::mat4(1.0f), {0}, {}}};
    const std::string flatPath = modelPath("degenerate.dae");
    testmodels::write(flat, flatPath);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(model.loadShape(*physics, flatPath, glm::mat4(1.0f)), nullptr);
    EXPECT_NE(::testing::internal::GetCapturedStdout().find(flatPath), std::string::npos);
    EXPECT_EQ(model.shape, nullptr);
}

TEST(PhysicModelFiles, AFileThatCannotBeReadEndsTheProgramWithItsMessage)
{
    const std::string garbage = modelPath("garbage.dae");
    testmodels::writeText("this is not a model", garbage);
    for (const std::string& path : {modelPath("missing.dae"), garbage}) {
        EXPECT_EXIT(
            {
                std::fflush(stdout);
                dup2(2, 1);
                frosk::physicsengine::Physics physics;
                PhysicModel model;
                model.loadStaticActors(physics, path, glm::mat4(1.0f));
            },
            ::testing::ExitedWithCode(255), "Failed to open Physic - Model\n.+\n");
    }
}

TEST_F(PhysicModelTest, TheFirstLevelsCollisionModelCarriesACakeAndThePlayer)
{
    PhysicModel terrain;
    terrain.loadStaticActors(*physics, "Models/level1_boundingbox3.dae", glm::mat4(1.0f));
    ASSERT_FALSE(terrain.actors.empty());
    Body* cake = physics->throwCake({0, 12, 6}, {0, 0, 2}, 1);
    physics->setPlayerPosition({0, 12, -2});
    unsigned flags = 0;
    for (int frame = 0; frame < 480; ++frame) {
        physics->step(1.0 / 60.0);
        physics->removeBodies(frosk::actorsToRemove);
        flags = physics->movePlayer({0, -9.8f / 60.0f, 0}, 0.001f, 1.0f / 60.0f);
    }
    ASSERT_EQ(reports.slept.size(), 1u);
    EXPECT_EQ(reports.slept[0], cake);
    EXPECT_GT(physics->position(cake).y, -5.0f);
    EXPECT_TRUE(flags & frosk::physicsengine::collisionDown);
    EXPECT_GT(physics->playerPosition().y, -5.0);
    std::printf("cake rests at y %.2f, player stands at y %.2f\n", physics->position(cake).y,
                physics->playerPosition().y);
}
