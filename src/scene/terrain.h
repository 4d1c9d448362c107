#pragma once

#include "modelLoader/physic_model.h"
#include "scene/model_object.h"

#include <GL/glew.h>

namespace frosk::scene {

// A level's landscape with its trees: one drawn model, and static collision
// bodies (group 30) from a simplified model of the same ground and trunks.
// Level numbers 1 and 2 have their own landscape; any other number gets a
// plain terrain without collision.
class Terrain : public ModelObject {
public:
    Terrain(physicsengine::Physics* physics, Shader* program, Shader* secondProgram,
            effects::ShadowMapping* shadowMapping, effects::ToonShading* toonShading, int levelNumber,
            const glm::mat4& modelMatrix);
    ~Terrain() override;
    Terrain(const Terrain&) = delete;
    Terrain& operator=(const Terrain&) = delete;

    void update(double deltaTime) override;

    // The drawn model and the collision model of a landscape ("" for none).
    static const char* drawnModel(int levelNumber);
    static const char* collisionModel(int levelNumber);

    int levelNumber = 0;
    modelLoader::PhysicModel physicModel;

private:
    physicsengine::Physics* physics = nullptr;
};

} // namespace frosk::scene
