#pragma once

#include "scene/model_object.h"

#include <glm/glm.hpp>

namespace frosk {
namespace physicsengine {
class Body;
class Physics;
} // namespace physicsengine
} // namespace frosk

namespace frosk::scene {

// The game's projectile, in three roles: the four templates the controller
// copies (kinds 1 to 4, never drawn), the cake held in the hand (kind 5,
// animated by the throw gesture) and thrown cakes, copies of a template that
// follow their rigid body.
class Cake : public ModelObject {
public:
    // A template or the held cake: loads the model of `kind`.
    Cake(Shader* program, Shader* secondProgram, int kind, effects::ShadowMapping* shadowMapping,
         effects::ToonShading* toonShading, const glm::mat4& modelMatrix);
    // A thrown cake: shares the template's model and follows `body`, whose
    // cake id it takes as its own.
    Cake(const Cake* cakeTemplate, physicsengine::Physics* physics, physicsengine::Body* body,
         const glm::vec3& direction, float strength);
    ~Cake() override;
    Cake(const Cake&) = delete;
    Cake& operator=(const Cake&) = delete;

    void update(double deltaTime) override;
    // The held cake's place: pose x translation(offset).
    virtual void setHandPose(const glm::mat4& pose);
    virtual void startWindUp(float distance, float speed);
    virtual void windUp(float distance, float speed, double deltaTime);
    virtual void reload(double deltaTime);
    virtual void release();

    // The translation of modelMatrix.
    glm::vec3 position() const;

    static const char* modelFile(int kind);

    // The cake's rigid body; none for templates and the held cake.
    physicsengine::Body* actor = nullptr;
    physicsengine::Physics* physics = nullptr;
    int kind = 0;
    glm::vec3 direction{0.0f};
    float strength = 0.0f;
    bool ownsModel = false;
    int id = 0;
    float progress = 0.0f;
    float distance = 0.0f;
    float animSpeed = 0.0f;
    glm::vec3 offset{0.0f};
    bool lowered = false;
    bool released = false;
    bool visible = true;
    bool ready = true;
};

} // namespace frosk::scene
