#include "scene/snowman.h"

#include "datastructures/tree_node.h"
#include "physicsengine/physics.h"
#include "scene/numbered.h"

#include <glm/gtc/matrix_transform.hpp>

namespace frosk::scene {

namespace {

constexpr double longFrame = 0.15;

glm::mat4 turnedAboutY(const glm::mat4& m, float degrees)
{
    return glm::rotate(m, degrees * 0.017453292f, glm::vec3(0.0f, 1.0f, 0.0f));
}

} // namespace

const char* Snowman::collisionModel(int kind)
{
    return numbered(kind, {"Models/snowman_boundingbox_woman.dae", "Models/snowman_boundingbox_child.dae"}, nullptr);
}

Snowman::Snowman(physicsengine::Physics* physics, Shader* program, Shader* secondProgram,
                 effects::ShadowMapping* shadowMapping, effects::ToonShading* toonShading,
                 const glm::mat4& modelMatrix)
    : ModelObject(modelMatrix, program, secondProgram, shadowMapping, toonShading), ownsModel(true), physics(physics)
{
    loadModel("Models/snowman_animation.dae");
    body = physics->addStaticBody(physicModel.loadShape(*physics, "Models/snowman_boundingbox2.dae", modelMatrix),
                                  modelMatrix);
}

Snowman::Snowman(physicsengine::Physics* physics, const Snowman* prototype, const glm::vec3& scale, int kind,
                 const glm::mat4& modelMatrix)
    : ModelObject(glm::scale(modelMatrix, scale), prototype->program, prototype->secondProgram,
                  prototype->shadowMapping, nullptr, prototype->model),
      ownsModel(false),
      swayDirection(-1),
      physics(physics)
{
    // The collision model is already made to the kind's size; the body stands
    // at the unscaled pose.
    if (const char* file = collisionModel(kind))
        body = physics->addStaticBody(physicModel.loadShape(*physics, file, this->modelMatrix), modelMatrix);
}

Snowman::~Snowman()
{
    if (body != nullptr)
        physics->removeBody(body);
}

datastructures::TreeNode* Snowman::arm(std::size_t index) const
{
    if (model->children.empty() || model->children[0]->children.size() < 2)
        return nullptr;
    return model->children[0]->children[index].get();
}

void Snowman::update(double deltaTime)
{
    if (deltaTime > longFrame)
        return;
    const float f = static_cast<float>(deltaTime);
    const float rate = f * 200.0f;

    // Each arm turns by this frame's step even in the frame its angle is
    // clamped back into 0..90, where it changes direction.
    armStep1 = armDirection1 * rate;
    if (armAngle1 > 90.0f) {
        armDirection1 = -1.0f;
        armAngle1 = 90.0f;
    } else if (armAngle1 < 0.0f) {
        armDirection1 = 1.0f;
        armAngle1 = 0.0f;
    } else {
        armAngle1 += armStep1;
    }
    armStep2 = armDirection2 * rate;
    if (armAngle2 < 0.0f) {
        armDirection2 = 1.0f;
        armAngle2 = 0.0f;
    } else if (armAngle2 > 90.0f) {
        armDirection2 = -1.0f;
        armAngle2 = 90.0f;
    } else {
        armAngle2 += armStep2;
    }
    if (datastructures::TreeNode* first = arm(0))
        first->transform = turnedAboutY(first->transform, armStep1);
    if (datastructures::TreeNode* second = arm(1))
        second->transform = turnedAboutY(second->transform, armStep2);

    sway(f);
}

void Snowman::updateSway(double deltaTime)
{
    if (deltaTime > longFrame)
        return;
    sway(static_cast<float>(deltaTime));
}

void Snowman::sway(float f)
{
    if (swayAngle > 45) {
        swayDirection = -1;
        swayAngle = 45;
    } else if (swayAngle < -45) {
        swayDirection = 1;
        swayAngle = -45;
    }
    const float step = static_cast<float>(swayDirection) * (f * 90.0f);
    modelMatrix = turnedAboutY(modelMatrix, step);
    // The counter keeps whole degrees, so it may lag the body's real turn.
    swayAngle = static_cast<int>(static_cast<float>(swayAngle) + step);
}

} // namespace frosk::scene
