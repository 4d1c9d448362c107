#version 330 core

// One simulation step of one splash particle. The particle flies along
// flydirection at `velocity` units per second; the air slows it and gravity
// pulls it down, so a splash bursts out and then sinks. It ages by deltaT. Its `type` carries its phase of life for the draw program:
// age / lifetime while it lives (0 when just born), 1 once it has expired.
// An expired particle stays where it is and is no longer drawn.
layout(location = 0) in float type;
layout(location = 1) in vec3 position;
layout(location = 2) in float age;
layout(location = 3) in float velocity;
layout(location = 4) in float lifetime;
layout(location = 5) in vec3 flydirection;

uniform float deltaT;

out float stepType;
out vec3 stepPosition;
out float stepAge;
out float stepVelocity;
out float stepLifetime;
out vec3 stepFlydirection;

const float gravity = 9.81;
// The air slows a particle exponentially: after one second e^-2.5, about 8 %,
// of its speed is left.
const float airDrag = 2.5;

void main()
{
    float newAge = age + deltaT;
    bool expired = type >= 1.0 || newAge >= lifetime;

    // The particle's motion is flydirection * velocity. Drag scales the
    // speed; gravity changes the motion, so it is folded into the direction.
    vec3 direction = flydirection;
    vec3 newPosition = position;
    float speed = velocity;
    if (!expired) {
        speed = velocity * exp(-airDrag * deltaT);
        direction.y -= gravity * deltaT / max(speed, 0.001);
        newPosition += direction * speed * deltaT;
    }

    stepType = expired ? 1.0 : clamp(newAge / max(lifetime, 0.001), 0.0, 0.999);
    stepPosition = newPosition;
    stepAge = newAge;
    stepVelocity = speed;
    stepLifetime = lifetime;
    stepFlydirection = direction;
}
