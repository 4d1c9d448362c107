#include "scene/target.h"

#include "modelLoader/physic_model.h"
#include "physicsengine/physics.h"

#include <glm/gtc/matrix_transform.hpp>

namespace frosk::scene {

Target::Target(Shader* program, Shader* secondProgram, effects::ShadowMapping* shadowMapping,
               effects::ToonShading* toonShading, const glm::mat4& modelMatrix)
    : ModelObject(modelMatrix, program, secondProgram, shadowMapping, toonShading), ownsModel(true)
{
    loadModel("Models/target6.dae");
}

Target::Target(physicsengine::Physics* physics, const Target* targetTemplate, const glm::vec3& direction,
               float speed, float distance, const glm::mat4& modelMatrix)
    : ModelObject(modelMatrix, targetTemplate->program, targetTemplate->secondProgram, targetTemplate->shadowMapping,
                  nullptr, targetTemplate->model),
      direction(direction),
      speed(speed),
      distance(distance),
      ownsModel(false),
      physics(physics)
{
    modelLoader::PhysicModel collision;
    body = physics->addTargetBody(collision.loadShape(*physics, "Models/target5.dae", modelMatrix), modelMatrix, this);
}

Target::~Target()
{
    if (body != nullptr)
        physics->removeBody(body);
}

physicsengine::Body* Target::releaseBody()
{
    physicsengine::Body* released = body;
    body = nullptr;
    return released;
}

bool Target::standsStill() const
{
    return distance == 0.0f || speed == 0.0f;
}

void Target::update(double deltaTime)
{
    if (deltaTime > 0.1 || standsStill())
        return;
    if (distance > travelled) {
        const float f = static_cast<float>(deltaTime);
        modelMatrix = glm::translate(modelMatrix, direction * f * speed);
        if (body != nullptr)
            physics->setKinematicPose(body, modelMatrix);
        travelled = f * speed + travelled;
    } else {
        direction = -direction;
        travelled = 0.0f;
    }
}

} // namespace frosk::scene
