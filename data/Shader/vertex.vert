#version 330 core

// Plain lit draw of a mesh coloured by its vertex (or material) colour, no
// shadow. Attribute locations are the ones every mesh program shares.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec3 color;

uniform mat4 projectionMatrix;
uniform mat4 viewMatrix;
uniform mat4 modelMatrix;

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 vertexColor;

void main()
{
    vec4 world = modelMatrix * vec4(position, 1.0);
    worldPosition = world.xyz;
    worldNormal = transpose(inverse(mat3(modelMatrix))) * normal;
    vertexColor = color;
    gl_Position = projectionMatrix * viewMatrix * world;
}
