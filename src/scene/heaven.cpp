#include "scene/heaven.h"

#include "datastructures/tree_node.h"
#include "modelLoader/model_loader.h"
#include "shader/shader.h"

namespace frosk::scene {

Heaven::Heaven(Shader* program, const glm::mat4& modelMatrix) : ModelObject(modelMatrix, program)
{
    modelLoader::ModelLoader loader(nullptr, nullptr);
    model = loader.loadModel(program->programHandle, "Models/heaven.dae");
    // Sky texels are big on screen; sharp is how the sky is meant to look.
    model->setTextureFilter(GL_NEAREST);
}

Heaven::~Heaven() = default;

void Heaven::update(double /*deltaTime*/) {}

} // namespace frosk::scene
