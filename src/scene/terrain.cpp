#include "scene/terrain.h"

#include "datastructures/tree_node.h"
#include "modelLoader/model_loader.h"
#include "physicsengine/physics.h"
#include "shader/shader.h"

namespace frosk::scene {

const char* Terrain::drawnModel(int levelNumber)
{
    switch (levelNumber) {
    case 1:
        return "Models/level1_big_trees.dae";
    case 2:
        return "Models/level2_trees.dae";
    default:
        return "Models/Terrain_3.dae";
    }
}

const char* Terrain::collisionModel(int levelNumber)
{
    switch (levelNumber) {
    case 1:
        return "Models/level1_boundingbox3.dae";
    case 2:
        return "Models/level2_boundingbox.dae";
    default:
        return "";
    }
}

Terrain::Terrain(physicsengine::Physics* physics, Shader* program, Shader* secondProgram,
                 effects::ShadowMapping* shadowMapping, effects::ToonShading* toonShading, int levelNumber,
                 const glm::mat4& modelMatrix)
    : ModelObject(modelMatrix, program, secondProgram, shadowMapping, toonShading),
      levelNumber(levelNumber),
      physics(physics)
{
    if (levelNumber == 1 || levelNumber == 2) {
        loadModel(drawnModel(levelNumber));
        physicModel.loadStaticActors(*physics, collisionModel(levelNumber), modelMatrix);
    } else {
        modelLoader::ModelLoader loader(shadowMapping, toonShading);
        model = loader.loadModel(program->programHandle, drawnModel(levelNumber));
    }
}

Terrain::~Terrain()
{
    physics->removeBodies(physicModel.actors);
}

void Terrain::update(double /*deltaTime*/) {}

} // namespace frosk::scene
