#include "effects/toon_shading.h"

#include "shader/names.h"

#include <glm/gtc/type_ptr.hpp>

namespace frosk::effects {

ToonShading::ToonShading(Shader* silhouetteShader, int windowWidth, int windowHeight)
    : silhouetteShader(silhouetteShader),
      camera(Camera::looking(glm::mat4(1.0f), glm::vec3(0.0f), windowWidth, windowHeight))
{
}

void ToonShading::setVP(GLuint program) const
{
    const glm::mat4 vp = camera.viewProjection();
    glUniformMatrix4fv(glGetUniformLocation(program, uniform::VP), 1, GL_FALSE, glm::value_ptr(vp));
}

} // namespace frosk::effects
