#include "scene/cake.h"

#include "physicsengine/physics.h"
#include "scene/numbered.h"

namespace frosk::scene {

const char* Cake::modelFile(int kind)
{
    return numbered(kind,
                    {"Models/cakeTex_1.dae", "Models/cakeTex_2.dae", "Models/cakeTex_3.dae", "Models/cakeTex_4.dae"},
                    "Models/cakeTex_3_small.dae");
}

Cake::Cake(Shader* program, Shader* secondProgram, int kind, effects::ShadowMapping* shadowMapping,
           effects::ToonShading* toonShading, const glm::mat4& modelMatrix)
    : HeldObject(modelMatrix, program, secondProgram, shadowMapping, toonShading), kind(kind), ownsModel(true)
{
    loadModel(modelFile(kind));
}

Cake::Cake(const Cake* cakeTemplate, physicsengine::Physics* physics, physicsengine::Body* body,
           const glm::vec3& direction, float strength)
    : HeldObject(cakeTemplate->modelMatrix, cakeTemplate->program, cakeTemplate->secondProgram, nullptr, nullptr,
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
    if (actor != nullptr)
        modelMatrix = physics->pose(actor);
    else
        HeldObject::update(deltaTime);
}

void Cake::endWindUp()
{
    offset = glm::vec3(0.0f);
    visible = false;
}

void Cake::release()
{
    HeldObject::release();
    ready = false;
}

void Cake::reload(double deltaTime)
{
    if (distance > progress) {
        visible = false;
        progress += static_cast<float>(animSpeed * deltaTime * 0.4);
    } else {
        backAtRest();
        visible = true;
        ready = true;
    }
}

glm::vec3 Cake::position() const
{
    return glm::vec3(modelMatrix[3]);
}

} // namespace frosk::scene
