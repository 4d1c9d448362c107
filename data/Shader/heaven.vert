#version 330 core

// The sky dome. Only the camera's turn is applied, not its travel, so the
// sky stays put around the player like something infinitely far away.
layout(location = 0) in vec3 position;
layout(location = 2) in vec3 color;
layout(location = 3) in vec2 uv;

uniform mat4 projectionMatrix;
uniform mat4 viewMatrix;
uniform mat4 modelMatrix;

out vec3 vertexColor;
out vec2 texCoord;

void main()
{
    mat4 turnOnly = mat4(mat3(viewMatrix));
    vertexColor = color;
    texCoord = uv;
    gl_Position = projectionMatrix * turnOnly * modelMatrix * vec4(position, 1.0);
}
