#pragma once

#include <glm/glm.hpp>

#include <optional>

namespace autoplay {

// The flight of a thrown cake as the world integrates it: the cake leaves one
// unit in front of the eye along the view direction, at the launch speed along
// that direction, and falls under gravity in steps of a fixed length.
struct Launch {
    float yaw = 0.0f;   // the controller's horizontal angle, radians
    float pitch = 0.0f; // its vertical angle, radians
    float speed = 0.0f;
    int steps = 0;      // world steps until the cake reaches the aim point
};

class Ballistics {
public:
    explicit Ballistics(double stepSeconds) : stepSeconds(stepSeconds) {}

    // The view direction of a yaw and pitch, as the controller builds it.
    static glm::vec3 direction(float yaw, float pitch);
    // Yaw that faces `to` from `from`.
    static float yawTowards(const glm::vec3& from, const glm::vec3& to);

    // Pitch at which a cake thrown from `eye` at `speed` passes through `aim`;
    // the flat solution, or the lob when `lob` is set. None when out of reach
    // or outside the pitch range the controller allows.
    std::optional<Launch> solve(const glm::vec3& eye, const glm::vec3& aim, float speed, bool lob) const;
    // The slowest launch speed, at or above `minimum`, whose flat (or lob)
    // solution lies at or below (or above) `pitch`.
    float speedFor(const glm::vec3& eye, const glm::vec3& aim, float pitch, bool lob, float minimum) const;

    // Where a launch puts the cake after `step` world steps.
    glm::vec3 positionAfter(const glm::vec3& eye, const Launch& launch, int step) const;

    // The world's pull, units per second squared.
    static constexpr float gravity = 9.8f;
    static constexpr float lowestPitch = -0.785398f;
    static constexpr float highestPitch = 1.5707963f;

private:
    // Height of the cake above `aim` when it has covered the horizontal
    // distance to it; NaN when it never gets there.
    float heightError(const glm::vec3& eye, const glm::vec3& aim, float speed, float pitch) const;

    double stepSeconds;
};

} // namespace autoplay
