#pragma once

#include "scene/scene_object.h"

#include <memory>

namespace frosk {
class Shader;
namespace datastructures {
class TreeNode;
}
namespace effects {
class ShadowMapping;
class ToonShading;
} // namespace effects
} // namespace frosk

namespace frosk::scene {

// A scene object drawn as one loaded model tree, its root at modelMatrix x
// root transform, in every pass the tree knows. Templates and their copies
// share one tree; the last of them to go frees it.
class ModelObject : public SceneObject {
public:
    ~ModelObject() override;

    // With whatever program is current.
    void draw() override;
    virtual void drawDepth();
    virtual void drawShadowed();
    virtual void drawSecondary();
    virtual void drawSilhouette();
    virtual void drawToon();

    std::shared_ptr<datastructures::TreeNode> model;
    // What the model is drawn with; copies take them over from their template.
    Shader* program = nullptr;
    Shader* secondProgram = nullptr;
    effects::ShadowMapping* shadowMapping = nullptr;
    effects::ToonShading* toonShading = nullptr;

protected:
    ModelObject(const glm::mat4& modelMatrix, Shader* program, Shader* secondProgram = nullptr,
                effects::ShadowMapping* shadowMapping = nullptr, effects::ToonShading* toonShading = nullptr,
                std::shared_ptr<datastructures::TreeNode> model = nullptr);
    // Loads the model from `file` for both programs, with the effects' uniforms.
    void loadModel(const char* file);

private:
    glm::mat4 world() const;
};

} // namespace frosk::scene
