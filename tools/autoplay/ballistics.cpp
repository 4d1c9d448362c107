#include "ballistics.h"

#include <cmath>
#include <limits>

namespace autoplay {

glm::vec3 Ballistics::direction(float yaw, float pitch)
{
    return {std::sin(yaw) * std::cos(pitch), std::sin(pitch), std::cos(yaw) * std::cos(pitch)};
}

float Ballistics::yawTowards(const glm::vec3& from, const glm::vec3& to)
{
    return std::atan2(to.x - from.x, to.z - from.z);
}

float Ballistics::heightError(const glm::vec3& eye, const glm::vec3& aim, float speed, float pitch) const
{
    const float across = glm::length(glm::vec2(aim.x - eye.x, aim.z - eye.z)) - std::cos(pitch);
    const float horizontalSpeed = speed * std::cos(pitch);
    if (horizontalSpeed <= 1e-4f || across < 0.0f)
        return std::numeric_limits<float>::quiet_NaN();
    const float t = across / horizontalSpeed;
    // The world adds each step's gravity to the velocity before it moves the
    // body, which drops the cake by half a step's worth of fall per second
    // more than the smooth parabola.
    const float dt = static_cast<float>(stepSeconds);
    const float height = eye.y + std::sin(pitch) + speed * std::sin(pitch) * t - 0.5f * gravity * t * t
                       - 0.5f * gravity * dt * t;
    return height - aim.y;
}

std::optional<Launch> Ballistics::solve(const glm::vec3& eye, const glm::vec3& aim, float speed, bool lob) const
{
    // Scan the pitch range for the sign changes of the height error, then
    // narrow the first (flat) or the last (lob) down by bisection.
    constexpr int samples = 540;
    const float span = highestPitch - 0.002f - lowestPitch;
    float lastPitch = lowestPitch;
    float lastError = heightError(eye, aim, speed, lastPitch);
    std::optional<std::pair<float, float>> bracket;
    for (int i = 1; i <= samples; ++i) {
        const float pitch = lowestPitch + span * static_cast<float>(i) / samples;
        const float error = heightError(eye, aim, speed, pitch);
        if (!std::isnan(lastError) && !std::isnan(error) && (lastError < 0.0f) != (error < 0.0f)) {
            bracket = std::make_pair(lastPitch, pitch);
            if (!lob)
                break;
        }
        lastPitch = pitch;
        lastError = error;
    }
    if (!bracket)
        return std::nullopt;
    auto [low, high] = *bracket;
    const bool lowBelow = heightError(eye, aim, speed, low) < 0.0f;
    for (int i = 0; i < 40; ++i) {
        const float middle = 0.5f * (low + high);
        if ((heightError(eye, aim, speed, middle) < 0.0f) == lowBelow)
            low = middle;
        else
            high = middle;
    }
    Launch launch;
    launch.yaw = yawTowards(eye, aim);
    launch.pitch = 0.5f * (low + high);
    launch.speed = speed;
    const float across = glm::length(glm::vec2(aim.x - eye.x, aim.z - eye.z)) - std::cos(launch.pitch);
    launch.steps = static_cast<int>(std::ceil(across / (speed * std::cos(launch.pitch)) / stepSeconds));
    return launch;
}

float Ballistics::speedFor(const glm::vec3& eye, const glm::vec3& aim, float pitch, bool lob, float minimum) const
{
    for (float speed = minimum; speed < 60.0f; speed += 0.1f) {
        const std::optional<Launch> launch = solve(eye, aim, speed, lob);
        if (launch && (lob ? launch->pitch >= pitch : launch->pitch <= pitch))
            return speed;
    }
    return 60.0f;
}

glm::vec3 Ballistics::positionAfter(const glm::vec3& eye, const Launch& launch, int step) const
{
    const glm::vec3 d = direction(launch.yaw, launch.pitch);
    const float dt = static_cast<float>(stepSeconds);
    const float n = static_cast<float>(step);
    glm::vec3 position = eye + d + d * launch.speed * n * dt;
    position.y -= gravity * dt * dt * n * (n + 1.0f) * 0.5f;
    return position;
}

} // namespace autoplay
