#pragma once

#include "common/camera.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

namespace frosk {
class Shader;
} // namespace frosk

namespace frosk::effects {

// What the toon draws share: the outline program and the frame's camera.
class ToonShading {
public:
    // Lighting is quantised into this many bands.
    static constexpr float numShades = 8.0f;
    // Pass 1 of an outline: back faces pushed out along the smooth normal.
    static constexpr float outlineOffset = 0.04f;

    // Until the first frame hands it a camera, the camera looks from the
    // origin through the window's perspective.
    ToonShading(Shader* silhouetteShader, int windowWidth, int windowHeight);
    virtual ~ToonShading() = default;

    // The camera's projection x view, as "VP".
    void setVP(GLuint program) const;

    Shader* silhouetteShader = nullptr;
    Camera camera;
};

} // namespace frosk::effects
