#pragma once

#include "modelLoader/physic_model.h"
#include "physicsengine/handles.h"
#include "scene/model_object.h"

#include <glm/glm.hpp>

namespace frosk::scene {

// A swaying snowman of level 2: an obstacle on a static body that cakes
// bounce off without a report. The man loads the model, whose root's first
// child holds the two arms he swings; the woman and the child share his tree
// (and so his arms) at their own scale, with collision models of their own.
// draw() wants the plain program current.
class Snowman : public ModelObject {
public:
    // The man.
    Snowman(physicsengine::Physics* physics, Shader* program, Shader* secondProgram,
            effects::ShadowMapping* shadowMapping, effects::ToonShading* toonShading, const glm::mat4& modelMatrix);
    // A snowman made from the man: kind 1 the woman, 2 the child, any other
    // without a body.
    Snowman(physicsengine::Physics* physics, const Snowman* prototype, const glm::vec3& scale, int kind,
            const glm::mat4& modelMatrix);
    ~Snowman() override;
    Snowman(const Snowman&) = delete;
    Snowman& operator=(const Snowman&) = delete;

    // Arms and sway; frames longer than 0.15 s change nothing.
    void update(double deltaTime) override;
    // Sway only.
    virtual void updateSway(double deltaTime);

    static const char* collisionModel(int kind);

    modelLoader::PhysicModel physicModel;
    physicsengine::Body* body = nullptr;
    float armDirection1 = 1.0f;
    float armDirection2 = -1.0f;
    float armStep1 = 0.0f;
    float armStep2 = 0.0f;
    float armAngle1 = 0.0f;
    float armAngle2 = 90.0f;
    bool ownsModel = false;
    int swayAngle = -30;
    int swayDirection = 1;

private:
    void sway(float f);
    // The two arm nodes, or null when the model lacks them.
    datastructures::TreeNode* arm(std::size_t index) const;
    physicsengine::Physics* physics = nullptr;
};

} // namespace frosk::scene
