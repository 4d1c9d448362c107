// One physics step of a level in play: the level-1 collision model, ten
// targets sliding back and forth and twenty cakes in flight. Run from the
// runtime root so that Models/ is found; without the model a generated
// ground of 5,000 triangles stands in for it.

#include "modelLoader/physic_model.h"
#include "physicsengine/physics.h"

#include <benchmark/benchmark.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <filesystem>
#include <iostream>
#include <memory>
#include <utility>
#include <vector>

namespace {

using frosk::physicsengine::Body;
using frosk::physicsengine::Physics;

const char* const levelModel = "Models/level1_boundingbox3.dae";

glm::mat4 at(float x, float y, float z)
{
    return glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z));
}

// Rolling ground of 50 x 50 cells, two triangles each.
void addGeneratedGround(Physics& physics)
{
    const int cells = 50;
    const float size = 100.0f;
    std::vector<glm::vec3> points;
    for (int row = 0; row <= cells; ++row)
        for (int column = 0; column <= cells; ++column) {
            const float x = -0.5f * size + size * column / cells;
            const float z = -0.5f * size + size * row / cells;
            points.emplace_back(x, 0.6f * std::sin(0.3f * x) * std::cos(0.25f * z), z);
        }
    std::vector<std::uint32_t> indices;
    for (int row = 0; row < cells; ++row)
        for (int column = 0; column < cells; ++column) {
            const std::uint32_t a = row * (cells + 1) + column, b = a + cells + 1;
            indices.insert(indices.end(), {a, b, a + 1, a + 1, b, b + 1});
        }
    physics.addStaticBody(physics.createMeshShape(physics.cookTriangleMesh(points, indices)), glm::mat4(1.0f),
                          frosk::physicsengine::groupStatic);
}

std::shared_ptr<frosk::physicsengine::Shape> targetBoard(Physics& physics)
{
    const glm::vec3 l(-1.0f, -1.0f, -0.1f), h(1.0f, 1.0f, 0.1f);
    std::vector<glm::vec3> points = {{l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, h.y, l.z}, {l.x, h.y, l.z},
                                     {l.x, l.y, h.z}, {h.x, l.y, h.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}};
    std::vector<std::uint32_t> indices = {0, 2, 1, 0, 3, 2, 4, 5, 6, 4, 6, 7, 0, 1, 5, 0, 5, 4,
                                          3, 7, 6, 3, 6, 2, 0, 4, 7, 0, 7, 3, 1, 2, 6, 1, 6, 5};
    return physics.createMeshShape(physics.cookTriangleMesh(points, indices));
}

class Level {
public:
    Level()
    {
        if (std::filesystem::exists(levelModel)) {
            terrain.loadStaticActors(physics, levelModel, glm::mat4(1.0f));
        } else {
            static bool told = false;
            if (!std::exchange(told, true))
                std::cerr << levelModel << " not found: using a generated ground of 5000 triangles\n";
            addGeneratedGround(physics);
        }
        auto board = targetBoard(physics);
        for (int i = 0; i < 10; ++i)
            targets.push_back(physics.addTargetBody(board, poseOf(i, 0.0f), nullptr));
        throwCakes();
    }

    void throwCakes()
    {
        physics.removeBodies(cakes);
        for (int i = 0; i < 20; ++i) {
            const float angle = 0.314f * i;
            cakes.push_back(physics.throwCake({2.0f * std::sin(angle), 2.5f, 2.0f * std::cos(angle)},
                                              {14.0f * std::sin(angle), 9.0f, 14.0f * std::cos(angle)},
                                              static_cast<std::uint32_t>(i)));
        }
    }

    // One frame: the step, then the targets' new poses.
    void frame()
    {
        physics.step(1.0 / 60.0);
        time += 1.0f / 60.0f;
        for (int i = 0; i < 10; ++i)
            physics.setKinematicPose(targets[i], poseOf(i, time));
    }

    Physics physics;

private:
    glm::mat4 poseOf(int i, float t) const
    {
        const float angle = 0.628f * i;
        return at(12.0f * std::sin(angle) + 3.0f * std::sin(t + i), 3.0f, 12.0f * std::cos(angle));
    }

    frosk::modelLoader::PhysicModel terrain;
    std::vector<Body*> targets;
    std::vector<Body*> cakes;
    float time = 0.0f;
};

void PhysicsStep(benchmark::State& state)
{
    Level level;
    int frames = 0;
    for (auto _ : state) {
        level.frame();
        // Cakes land after about two seconds: throw new ones.
        if (++frames % 90 == 0) {
            state.PauseTiming();
            level.throwCakes();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(PhysicsStep)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void PlayerMoves(benchmark::State& state)
{
    Level level;
    level.physics.setPlayerPosition({0.0, 3.0, 0.0});
    const float dt = 1.0f / 60.0f;
    float angle = 0.0f;
    for (auto _ : state) {
        // The controller's moves of one frame: walking and the fall.
        angle += 0.01f;
        level.physics.movePlayer({3.0f * dt * std::sin(angle), 0.0f, 3.0f * dt * std::cos(angle)}, 0.0f, dt);
        level.physics.movePlayer({0.0f, -9.8f * dt, 0.0f}, 0.001f, dt);
    }
}
BENCHMARK(PlayerMoves)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
