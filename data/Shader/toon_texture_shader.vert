#version 330 core

// Toon draw of a textured mesh. The mesh feeds
// its smoothed normal as "normal", so the bands run smoothly across hard edges.
// Attribute locations are the ones every mesh program shares.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec3 color;
layout(location = 3) in vec2 uv;

uniform mat4 VP;
uniform mat4 depthTranslScalVP;
uniform mat4 modelMatrix;

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 vertexColor;
out vec2 texCoord;
// Position in shadow-map space: xy the map coordinate, z the depth from the light.
out vec4 shadowCoord;

void main()
{
    vec4 world = modelMatrix * vec4(position, 1.0);
    worldPosition = world.xyz;
    worldNormal = transpose(inverse(mat3(modelMatrix))) * normal;
    vertexColor = color;
    texCoord = uv;
    shadowCoord = depthTranslScalVP * world;
    gl_Position = VP * world;
}
