#pragma once

#include "physicsengine/handles.h"
#include "scene/model_object.h"

#include <glm/glm.hpp>

namespace frosk::scene {

// What the player must hit: a board on a kinematic body in group 20 that the
// contact report hands back with the target. A template loads the drawn model
// that every placed target of its level shares; placed targets stand still
// or sweep back and forth along a direction of their own rotated frame.
// draw() wants the plain program current.
class Target : public ModelObject {
public:
    // The template: loads "Models/target6.dae"; no body, never placed.
    Target(Shader* program, Shader* secondProgram, effects::ShadowMapping* shadowMapping,
           effects::ToonShading* toonShading, const glm::mat4& modelMatrix);
    // A placed target on a kinematic body shaped by "Models/target5.dae".
    Target(physicsengine::Physics* physics, const Target* targetTemplate, const glm::vec3& direction, float speed,
           float distance, const glm::mat4& modelMatrix);
    // Takes its body out of the world unless the body was handed over
    // (releaseBody) to be removed after the physics step.
    ~Target() override;
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    void update(double deltaTime) override;

    // With no speed or no distance a target never leaves its place.
    bool standsStill() const;

    // The body, which from now on is someone else's to remove.
    physicsengine::Body* releaseBody();

    glm::vec3 direction{0.0f};
    float speed = 0.0f;
    float distance = 0.0f;
    float travelled = 0.0f;
    physicsengine::Body* body = nullptr;
    bool ownsModel = false;

private:
    physicsengine::Physics* physics = nullptr;
};

} // namespace frosk::scene
