#version 330 core

// Writes exactly one particle record per particle, in the interleaved
// order of the particle buffer: type, position, age, velocity, lifetime,
// flydirection (40 bytes).
layout(points) in;
layout(points, max_vertices = 1) out;

in float stepType[];
in vec3 stepPosition[];
in float stepAge[];
in float stepVelocity[];
in float stepLifetime[];
in vec3 stepFlydirection[];

out float type1;
out vec3 position1;
out float age1;
out float velocity1;
out float lifetime1;
out vec3 flydirection1;

void main()
{
    type1 = stepType[0];
    position1 = stepPosition[0];
    age1 = stepAge[0];
    velocity1 = stepVelocity[0];
    lifetime1 = stepLifetime[0];
    flydirection1 = stepFlydirection[0];
    gl_Position = vec4(stepPosition[0], 1.0);
    EmitVertex();
    EndPrimitive();
}
