#version 330 core

// Outline draw: every vertex moves out along its (smoothed) normal by
// offset1 model units. Drawn with front faces culled, the swollen back faces
// peek out around the model as its outline. Locations are the shared mesh
// ones, since this program draws vertex arrays built for the mesh's program.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;

uniform mat4 VP;
uniform mat4 modelMatrix;
uniform float offset1;

void main()
{
    float length2 = dot(normal, normal);
    vec3 outward = length2 > 0.0 ? normal * inversesqrt(length2) : vec3(0.0);
    gl_Position = VP * modelMatrix * vec4(position + outward * offset1, 1.0);
}
