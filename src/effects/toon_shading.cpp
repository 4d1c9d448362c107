#include "effects/toon_shading.h"

#include "app/config.h"
#include "effects/shadow_mapping.h"

#include <glm/gtc/type_ptr.hpp>

namespace frosk::effects {

ToonShading::ToonShading(Shader* silhouetteShader) : silhouetteShader(silhouetteShader) {}

void ToonShading::setVP(GLuint program) const
{
    const glm::mat4 vp = cameraPerspective(windowSize->width, windowSize->height) * view;
    glUniformMatrix4fv(glGetUniformLocation(program, "VP"), 1, GL_FALSE, glm::value_ptr(vp));
}

} // namespace frosk::effects
