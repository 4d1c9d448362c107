#include "scene/terrain.h"

#include "datastructures/tree_node.h"
#include "modelLoader/model_loader.h"
#include "physicsengine/physics.h"
#include "scene/numbered.h"
#include "shader/shader.h"

namespace frosk::scene {

const char* Terrain::drawnModel(int levelNumber)
{
    return numbered(levelNumber, {"Models/level1_big_trees.dae", "Models/level2_trees.dae"}, "Models/Terrain_3.dae");
}

const char* Terrain::collisionModel(int levelNumber)
{
    return numbered(levelNumber, {"Models/level1_boundingbox3.dae", "Models/level2_boundingbox.dae"}, "");
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
