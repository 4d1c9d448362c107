#version 330 core

// Glow pass geometry: objects drawn into the half-size glow target with the
// camera of the scene, carrying their vertex colour.
layout(location = 0) in vec3 position;
layout(location = 2) in vec3 color;

uniform mat4 projectionMatrix;
uniform mat4 viewMatrix;
uniform mat4 modelMatrix;

out vec3 vertexColor;

void main()
{
    vertexColor = color;
    gl_Position = projectionMatrix * viewMatrix * modelMatrix * vec4(position, 1.0);
}
