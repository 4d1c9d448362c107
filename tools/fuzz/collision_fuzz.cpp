// Collision models: any bytes as a COLLADA file through PhysicModel, both as
// one shape and as static bodies, in a real physics world that then takes a
// step with a cake falling onto them.
#include "fuzz_support.h"

#include "modelLoader/physic_model.h"
#include "physicsengine/physics.h"

#include <glm/glm.hpp>

#include <memory>

namespace {

std::unique_ptr<frosk::physicsengine::Physics> physics;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietStandardOutput();
    fuzz::workDirectory();
    physics = std::make_unique<frosk::physicsengine::Physics>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::writeInput("Models/fuzz_collision.dae", data, size);
    frosk::modelLoader::PhysicModel model;
    std::vector<frosk::physicsengine::Body*> bodies;
    try {
        const glm::mat4 pose(1.0f);
        if (auto shape = model.loadShape(*physics, path, pose))
            bodies.push_back(physics->addTargetBody(shape, pose, nullptr));
        model.loadStaticActors(*physics, path, pose);
    } catch (const fuzz::FatalExit&) {
    }
    bodies.insert(bodies.end(), model.actors.begin(), model.actors.end());
    bodies.push_back(physics->throwCake(glm::vec3(0.0f, 2.0f, 0.0f), glm::vec3(0.0f, -5.0f, 1.0f), 1));
    physics->step(1.0 / 60.0);
    physics->removeBodies(bodies);
    return 0;
}
