#include "scene/model_object.h"

#include "datastructures/tree_node.h"
#include "modelLoader/model_loader.h"
#include "shader/shader.h"

#include <utility>

namespace frosk::scene {

ModelObject::ModelObject(const glm::mat4& modelMatrix, Shader* program, Shader* secondProgram,
                         effects::ShadowMapping* shadowMapping, effects::ToonShading* toonShading,
                         std::shared_ptr<datastructures::TreeNode> model)
    : SceneObject(modelMatrix),
      model(std::move(model)),
      program(program),
      secondProgram(secondProgram),
      shadowMapping(shadowMapping),
      toonShading(toonShading)
{
}

void ModelObject::loadModel(const char* file)
{
    modelLoader::ModelLoader loader(shadowMapping, toonShading);
    model = loader.loadModel(program->programHandle, secondProgram->programHandle, file);
}

ModelObject::~ModelObject() = default;

glm::mat4 ModelObject::world() const
{
    return modelMatrix * model->transform;
}

void ModelObject::draw()
{
    model->draw(world());
}

void ModelObject::drawDepth()
{
    model->drawDepth(world());
}

void ModelObject::drawShadowed()
{
    model->drawShadowed(world());
}

void ModelObject::drawSecondary()
{
    model->drawSecondary(world());
}

void ModelObject::drawSilhouette()
{
    model->drawSilhouette(world());
}

void ModelObject::drawToon()
{
    model->drawToon(world());
}

} // namespace frosk::scene
