#pragma once

// Drawable models: a COLLADA file read through Assimp becomes a tree of
// meshes with their colours and diffuse textures, uploaded to GL.

#include <GL/glew.h>

#include <memory>
#include <string>

namespace frosk::datastructures {
class TreeNode;
}
namespace frosk::effects {
class ShadowMapping;
class ToonShading;
} // namespace frosk::effects

namespace frosk::modelLoader {

class ModelLoader {
public:
    ModelLoader(effects::ShadowMapping* shadowMapping, effects::ToonShading* toonShading);
    virtual ~ModelLoader() = default;

    // The model at `path` as a tree of meshes drawn with `program`. A file
    // that cannot be read, or an incomplete scene, is fatal. A mesh that
    // cannot be drawn (no faces or normals, indices past its vertices, nothing
    // but points and lines) is reported and left out; a missing texture is
    // reported and the mesh keeps its colours. Textures are read from
    // "Textures/" once per load, however many meshes share them.
    std::unique_ptr<datastructures::TreeNode> loadModel(GLuint program, const std::string& path);
    // The same, with a second program (and its vertex array) on every mesh.
    std::unique_ptr<datastructures::TreeNode> loadModel(GLuint program, GLuint secondProgram,
                                                        const std::string& path);

    effects::ShadowMapping* shadowMapping = nullptr;
    effects::ToonShading* toonShading = nullptr;
    GLuint secondProgram = 0;
};

} // namespace frosk::modelLoader
