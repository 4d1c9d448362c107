#version 330 core

// Shadow casters seen from the light; only depth is kept.
layout(location = 0) in vec3 position;

uniform mat4 depthVP;
uniform mat4 modelMatrix;

void main()
{
    gl_Position = depthVP * modelMatrix * vec4(position, 1.0);
}
