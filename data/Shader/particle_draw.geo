#version 330 core

// Expands each living particle into a square sprite that faces the camera:
// the square lies across the line from the particle to the eye. Sprites grow
// a little as they age; expired particles produce nothing.
layout(points) in;
layout(triangle_strip, max_vertices = 4) out;

in float lifePhase[];

uniform mat4 viewMatrix;
uniform mat4 projectionMatrix;
uniform vec3 cameraPosition;

out vec2 spriteCoord;
out float fade;

const float startSize = 0.09;
const float endSize = 0.16;

void main()
{
    float phase = lifePhase[0];
    if (phase >= 1.0)
        return;

    vec3 centre = gl_in[0].gl_Position.xyz;
    vec3 toEye = cameraPosition - centre;
    if (dot(toEye, toEye) < 1e-8)
        return;
    toEye = normalize(toEye);
    // Straight above or below the particle the world's up gives no sideways
    // direction, so the world's x axis stands in.
    vec3 side = cross(vec3(0.0, 1.0, 0.0), toEye);
    side = dot(side, side) < 1e-6 ? vec3(1.0, 0.0, 0.0) : normalize(side);
    vec3 up = cross(toEye, side);

    float halfSize = mix(startSize, endSize, phase);
    mat4 viewProjection = projectionMatrix * viewMatrix;
    vec2 corners[4] = vec2[](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(-1.0, 1.0), vec2(1.0, 1.0));
    for (int i = 0; i < 4; ++i) {
        vec3 corner = centre + (side * corners[i].x + up * corners[i].y) * halfSize;
        gl_Position = viewProjection * vec4(corner, 1.0);
        spriteCoord = corners[i] * 0.5 + 0.5;
        fade = 1.0 - phase;
        EmitVertex();
    }
    EndPrimitive();
}
