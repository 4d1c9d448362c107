#pragma once

#include "physicsengine/handles.h"
#include "scene/held_object.h"

#include <glm/glm.hpp>

namespace frosk::scene {

// The game's projectile, in three roles: the four templates the controller
// copies (kinds 1 to 4, never drawn), the cake held in the hand (kind 5,
// animated by the throw gesture) and thrown cakes, copies of a template that
// follow their rigid body.
class Cake : public HeldObject {
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

    // A thrown cake follows its body; the held cake plays the throw gesture.
    void update(double deltaTime) override;
    // The held cake is not ready from the release until it has reloaded.
    void release() override;

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
    bool lowered = false;
    bool visible = true;
    bool ready = true;

    // The reload: hidden while its progress covers the distance at 0.4 times the speed.
    virtual void reload(double deltaTime);

protected:
    bool& woundUp() override { return lowered; }
    // Hidden in the hand until it has reloaded.
    void endWindUp() override;
    void returnStep(double deltaTime) override { reload(deltaTime); }
};

} // namespace frosk::scene
