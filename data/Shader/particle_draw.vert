#version 330 core

// A particle point in world space; the geometry stage turns it into a sprite.
// `type` is the particle's phase of life: 0 just born, rising towards 1 as it
// ages, 1 once it has expired.
layout(location = 0) in float type;
layout(location = 1) in vec3 position;

uniform mat4 modelMatrix;

out float lifePhase;

void main()
{
    lifePhase = type;
    gl_Position = modelMatrix * vec4(position, 1.0);
}
