#version 330 core

// Lit draw with shadows of a mesh coloured by its vertex (material) colour.
// Attribute locations are the ones every mesh program shares.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec3 color;

uniform mat4 VP;
uniform mat4 depthTranslScalVP;
uniform mat4 modelMatrix;

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 vertexColor;
// Position in shadow-map space: xy the map coordinate, z the depth from the light.
out vec4 shadowCoord;

void main()
{
    vec4 world = modelMatrix * vec4(position, 1.0);
    worldPosition = world.xyz;
    worldNormal = transpose(inverse(mat3(modelMatrix))) * normal;
    vertexColor = color;
    shadowCoord = depthTranslScalVP * world;
    gl_Position = VP * world;
}
