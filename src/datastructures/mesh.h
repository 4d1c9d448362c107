#pragma once

#include "datastructures/vertex.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

namespace frosk::effects {
class ShadowMapping;
class ToonShading;
} // namespace frosk::effects

namespace frosk::datastructures {

// One drawable piece of a model: its vertices and indices on the GPU, the
// textures of its material and one vertex array per way of drawing it. Every
// draw uploads "modelMatrix", draws its triangles and leaves vertex array 0
// bound. The mesh owns its buffers and arrays; textures, programs and effects
// belong to others.
//
// The triangles are cut, in their own order, into runs that each lie in a
// small box, and the draws through the frame's camera (shadowed, outline,
// toon) leave out the runs wholly outside its view: they would make no pixel,
// but a software rasteriser still spends its time transforming them. What is
// drawn is drawn in the same order, so the picture is the same.
class Mesh {
public:
    Mesh(GLuint program, const std::vector<Vertex>& vertices, const std::vector<GLuint>& indices,
         const std::vector<GLuint>& textures, effects::ShadowMapping* shadowMapping,
         effects::ToonShading* toonShading);
    // The same, plus a second program fed positions and colours (drawSecondary).
    Mesh(GLuint program, GLuint secondProgram, const std::vector<Vertex>& vertices,
         const std::vector<GLuint>& indices, const std::vector<GLuint>& textures,
         effects::ShadowMapping* shadowMapping, effects::ToonShading* toonShading);
    virtual ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // With `program` already current: textures on units 0.., then the main array.
    void draw(glm::mat4 model);
    // Shadow casters, with the shadow-mapping effect's depth program.
    virtual void drawDepth(glm::mat4 model);
    // Lit with `program`, the camera and light matrices and the shadow map.
    virtual void drawShadowed(glm::mat4 model);
    // The toon outline: back faces pushed out along the smooth normal in black,
    // then, if the textures have cut-out texels, the front faces in white
    // without writing depth. Leaves culling off and depth writes on.
    virtual void drawSilhouette(glm::mat4 model);
    // Toon-shaded with `program`, smooth normals, textures and shadow map.
    virtual void drawToon(glm::mat4 model);
    // Positions and colours only, with the second program.
    void drawSecondary(glm::mat4 model);
    // Minification filter of every texture; magnification follows it (nearest
    // for the nearest filters, else linear).
    void setTextureFilter(GLint minFilter);

    // Whether a texture has texels that the toon draw cuts out (less than
    // half opaque). Only there can the outline's white front faces show; on
    // every other texel the toon draw paints over them, so without cut-out
    // texels they are not drawn. On unless whoever made the mesh knows better.
    bool cutOutTexels = true;
    // Whether the camera draws leave out what lies outside the view (on unless
    // a test compares the pictures with and without).
    static bool cullOutsideView;
    // Triangles the last camera draw left out (both passes of an outline
    // together), for tests.
    GLsizei lastTrianglesLeftOut() const { return trianglesLeftOut; }

    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    GLuint depthVAO = 0;
    GLuint mainVAO = 0;
    GLuint silhouetteVAO = 0;
    GLuint toonVAO = 0;
    GLuint secondaryVAO = 0;
    GLuint program = 0;
    GLuint secondProgram = 0;
    effects::ShadowMapping* shadowMapping = nullptr;
    effects::ToonShading* toonShading = nullptr;
    std::vector<Vertex> vertices;
    std::vector<GLuint> indices;
    std::vector<GLuint> textures;

private:
    // A run of whole triangles in `indices` and the box (model space) around
    // their corners.
    struct TriangleGroup {
        glm::vec3 low;
        glm::vec3 high;
        GLsizei firstIndex;
        GLsizei indexCount;
    };

    void groupTrianglesByPlace();
    void upload();
    void bindTextures(GLuint current) const;
    void bindShadowMap(GLuint current) const;
    void drawArray(GLuint vertexArray) const;
    // Only the groups that may reach the view of `clipFromModel` (the camera's
    // view-projection times the model matrix), with every vertex moved up to
    // `swell` model units.
    void drawArraySeen(GLuint vertexArray, const glm::mat4& clipFromModel, float swell);
    void outlinePass(GLuint outline, GLenum culledFaces, GLboolean depthWrite, GLfloat shade, GLfloat offset,
                     const glm::mat4& clipFromModel);

    std::vector<TriangleGroup> groups;
    GLsizei trianglesLeftOut = 0;
    // The runs of one draw, kept to spare an allocation per draw.
    std::vector<GLsizei> runCounts;
    std::vector<const void*> runOffsets;
};

} // namespace frosk::datastructures
