#pragma once

// A real physics world for each test, with a receiver that records the
// reports, and helpers to build scenery from test meshes.

#include "collada_writer.h"

#include "common/globals.h"
#include "physicsengine/physics.h"

#include <gtest/gtest.h>
#include <glm/gtc/matrix_transform.hpp>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace testworld {

using frosk::physicsengine::Body;
using frosk::physicsengine::Physics;
using frosk::physicsengine::Shape;

struct Reports : frosk::physicsengine::SimulationEventCallback {
    std::vector<std::pair<Body*, Body*>> contacts;
    std::vector<Body*> slept;
    std::vector<Body*> woke;
    // Like the game: queue both bodies of a contact for removal.
    bool queueContacts = false;

    void onWake(Body* const* bodies, std::size_t count) override { woke.insert(woke.end(), bodies, bodies + count); }
    void onSleep(Body* const* bodies, std::size_t count) override
    {
        slept.insert(slept.end(), bodies, bodies + count);
    }
    void onContact(Body* first, Body* second) override
    {
        contacts.emplace_back(first, second);
        if (queueContacts) {
            frosk::actorsToRemove.push_back(first);
            frosk::actorsToRemove.push_back(second);
        }
    }
};

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frosk::touchedCakeIds.clear();
        frosk::actorsToRemove.clear();
        physics = std::make_unique<Physics>();
        physics->setSimulationEventCallback(&reports);
    }
    void TearDown() override { physics.reset(); }

    std::shared_ptr<Shape> shapeOf(const testmodels::Mesh& mesh)
    {
        return physics->createMeshShape(physics->cookTriangleMesh(mesh.points, mesh.indices));
    }
    Body* addGround(float size = 200.0f, float y = 0.0f)
    {
        return physics->addStaticBody(shapeOf(testmodels::grid(size, 20, y)), glm::mat4(1.0f),
                                      frosk::physicsengine::groupStatic);
    }
    // Steps like the game loop: a step, then the queued removals.
    void run(double seconds, double dt = 1.0 / 60.0)
    {
        for (double t = 0.0; t < seconds - 1e-9; t += dt) {
            physics->step(dt);
            physics->removeBodies(frosk::actorsToRemove);
        }
    }

    Reports reports;
    std::unique_ptr<Physics> physics;
};

inline glm::mat4 at(float x, float y, float z)
{
    return glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z));
}

} // namespace testworld
