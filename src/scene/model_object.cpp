#include "scene/model_object.h"

#include "datastructures/tree_node.h"

#include <utility>

namespace frosk::scene {

ModelObject::ModelObject(const glm::mat4& modelMatrix, std::shared_ptr<datastructures::TreeNode> model)
    : SceneObject(modelMatrix), model(std::move(model))
{
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
