#include "scene/cake.h"

#include "physicsengine/physics.h"

#include <glm/gtc/matrix_transform.hpp>

namespace frosk::scene {

const char* Cake::modelFile(int kind)
{
    switch (kind) {
    case 1:
        return "Models/cakeTex_1.dae";
    case 2:
        return "Models/cakeTex_2.dae";
    case 3:
        return "Models/cakeTex_3.dae";
    case 4:
        return "Models/cakeTex_4.dae";
    default:
        return "Models/cakeTex_3_small.dae";
    }
}

Cake::Cake(Shader* program, Shader* secondProgram, int kind, effects::ShadowMapping* shadowMapping,
           effects::ToonShading* toonShading, const glm::mat4& modelMatrix)
    : ModelObject(modelMatrix, program, secondProgram, shadowMapping, toonShading), kind(kind), ownsModel(true)
{
    loadModel(modelFile(kind));
}

Cake::Cake(const Cake* cakeTemplate, physicsengine::Physics* physics, physicsengine::Body* body,
           const glm::vec3& direction, float strength)
    : ModelObject(cakeTemplate->modelMatrix, cakeTemplate->program, cakeTemplate->secondProgram, nullptr, nullptr,
                  cakeTemplate->model),
      actor(body),
      physics(physics),
      kind(cakeTemplate->kind),
      direction(direction),
      strength(strength),
      ownsModel(false),
      // The reports find a cake by the id in its body, so the two are one number.
      id(static_cast<int>(physics->cakeIdOf(body)))
{
}

// The body belongs to the physics world, which removes it; a cake only
// lets go of its share of the model.
Cake::~Cake() = default;

void Cake::update(double deltaTime)
{
    if (actor != nullptr) {
        modelMatrix = physics->pose(actor);
        return;
    }
    if (!lowered) {
        windUp(distance, animSpeed, deltaTime);
        if (!lowered)
            return;
    }
    if (released)
        reload(deltaTime);
}

void Cake::setHandPose(const glm::mat4& pose)
{
    modelMatrix = glm::translate(pose, offset);
}

void Cake::startWindUp(float newDistance, float speed)
{
    distance = newDistance;
    animSpeed = speed;
}

void Cake::windUp(float windDistance, float speed, double deltaTime)
{
    if (deltaTime > 0.1 || windDistance == 0.0f || speed == 0.0f)
        return;
    if (windDistance > progress) {
        const float step = static_cast<float>(speed * deltaTime);
        offset.y -= step;
        progress += step;
    } else {
        progress = 0.0f;
        offset = glm::vec3(0.0f);
        visible = false;
        lowered = true;
    }
}

void Cake::release()
{
    released = true;
    ready = false;
}

void Cake::reload(double deltaTime)
{
    if (distance > progress) {
        visible = false;
        progress += static_cast<float>(animSpeed * deltaTime * 0.4);
    } else {
        progress = 0.0f;
        distance = 0.0f;
        offset = glm::vec3(0.0f);
        lowered = false;
        released = false;
        visible = true;
        ready = true;
    }
}

glm::vec3 Cake::position() const
{
    return glm::vec3(modelMatrix[3]);
}

} // namespace frosk::scene
