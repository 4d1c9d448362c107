#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

namespace frosk {
class Config;
class Shader;
} // namespace frosk

namespace frosk::effects {

// What the toon draws share: the outline program and the camera, copied from
// the shadow-mapping effect at each toon draw.
class ToonShading {
public:
    // Lighting is quantised into this many bands.
    static constexpr float numShades = 8.0f;
    // Pass 1 of an outline: back faces pushed out along the smooth normal.
    static constexpr float outlineOffset = 0.04f;

    explicit ToonShading(Shader* silhouetteShader);
    virtual ~ToonShading() = default;

    // The camera's projection x view from this object's window size and view, as "VP".
    void setVP(GLuint program) const;

    Shader* silhouetteShader = nullptr;
    Config* windowSize = nullptr;
    glm::mat4 view{1.0f};
};

} // namespace frosk::effects
