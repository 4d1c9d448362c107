#pragma once

#include "scene/held_object.h"

#include <glm/glm.hpp>

namespace frosk::scene {

// The player's hand in front of the camera. It sinks while the throw button
// is held (the wind-up) and swings back up, faster every frame, once the
// button is released. It casts no shadow.
class Hand : public HeldObject {
public:
    Hand(Shader* program, Shader* secondProgram, effects::ShadowMapping* shadowMapping,
         effects::ToonShading* toonShading, const glm::mat4& modelMatrix);
    ~Hand() override;
    Hand(const Hand&) = delete;
    Hand& operator=(const Hand&) = delete;

    // The swing: up by twice the progress, the speed growing by a tenth a frame.
    virtual void throwStep(double deltaTime);

    bool windUpDone = false;

    // Where the hand waits, cocked, between wind-up and swing.
    static constexpr glm::vec3 cockedOffset{0.2f, -1.0f, -0.5f};

protected:
    bool& woundUp() override { return windUpDone; }
    void endWindUp() override;
    void returnStep(double deltaTime) override { throwStep(deltaTime); }
};

} // namespace frosk::scene
