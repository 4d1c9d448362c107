#version 330 core

// Plain lit draw of a textured mesh (no shadow). The attribute locations are
// fixed and shared by every mesh program, because a mesh builds its vertex
// arrays from one program's locations and draws them with others.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec3 color;
layout(location = 3) in vec2 uv;

uniform mat4 projectionMatrix;
uniform mat4 viewMatrix;
uniform mat4 modelMatrix;

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 vertexColor;
out vec2 texCoord;

void main()
{
    vec4 world = modelMatrix * vec4(position, 1.0);
    worldPosition = world.xyz;
    // Inverse transpose keeps normals perpendicular under non-uniform scale.
    worldNormal = transpose(inverse(mat3(modelMatrix))) * normal;
    vertexColor = color;
    texCoord = uv;
    gl_Position = projectionMatrix * viewMatrix * world;
}
