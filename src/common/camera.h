#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace frosk {

// Where the player looks from in one frame: made once per frame from the
// controller and handed to everything that draws with it.
struct Camera {
    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
    // The eye in world space.
    glm::vec3 position{0.0f};

    // The one perspective of every camera view of the game: 60 degrees
    // vertically, the window's aspect, near 0.01, far 200.
    static glm::mat4 perspective(int windowWidth, int windowHeight)
    {
        const float aspect = static_cast<float>(windowWidth) / static_cast<float>(windowHeight);
        return glm::perspective(glm::radians(60.0f), aspect, 0.01f, 200.0f);
    }

    // The window's perspective looking from `eye` through `view`.
    static Camera looking(const glm::mat4& view, const glm::vec3& eye, int windowWidth, int windowHeight)
    {
        return Camera{view, perspective(windowWidth, windowHeight), eye};
    }

    glm::mat4 viewProjection() const { return projection * view; }
};

} // namespace frosk
