#include "assetgen.h"

namespace assetgen {

// The ten targets of each level: base position in world units, angle about
// y in degrees, direction of travel in the target's own frame, speed, sweep.
const std::vector<TargetPlacement>& levelTargets(int level)
{
    static const std::vector<TargetPlacement> first = {
        {{-9, -0.05f, -36}, -60, {0, 0, 0}, 0, 0},
        {{3, -1, 12}, 90, {0, 0, 0}, 0, 0},
        {{-20, 4.35f, 22}, 50, {0, 0, 0}, 0, 0},
        {{25, 8.3f, 19}, 135, {0, 0, 0}, 0, 0},
        {{18, -1, 0}, -180, {1, 0, 0}, 3, 8},
        {{-22, 1.5f, 4}, 20, {0, 1, 0}, 2, 4},
        {{26, 1, -5}, -180, {0, 1, 0}, 4, 6},
        {{-10, 4.7f, -14}, -45, {0, 0, 1}, 2, 7},
        {{19, 1.5f, -18}, -135, {0, 0, 1}, 2.5f, 7},
        {{-12, -1, 7}, 35, {0, 0, 1}, 2, 2},
    };
    static const std::vector<TargetPlacement> second = {
        {{11, 3, -6}, -150, {0, 0, 0}, 0, 0},
        {{9, 3.5f, 16}, 115, {0, 0, 0}, 0, 0},
        {{21, 5.4f, 32.5f}, 125, {0, 0, 0}, 0, 0},
        {{-10.5f, 2.5f, 9}, 35, {0, 0, 1}, 2, 2},
        {{-7, 3.9f, -13}, -45, {0, 0, 1}, 2, 6},
        {{36.5f, 6, 13}, 160, {0, 1, 0}, 4, 5},
        {{15, 7, -14}, -120, {0, 0, 1}, 3, 7},
        {{8, 8.2f, -27}, -110, {0, 0, 0}, 0, 0},
        {{-26, 3.3f, 4}, 20, {0, 1, 0}, 3, 5},
        {{18, 1.4f, 8}, 155, {1, 0, 0}, 3, 4},
    };
    static const std::vector<TargetPlacement> none;
    return level == 1 ? first : level == 2 ? second : none;
}

// Where the snowmen of level 2 stand (world x, z) and how far round them
// nothing else may stand.
const std::vector<glm::vec2>& snowmanSpots()
{
    static const std::vector<glm::vec2> spots = {{-1.3f, 9.0f}, {0.6f, 8.0f}, {-3.5f, 8.2f}};
    return spots;
}

glm::mat4 targetMatrix(const TargetPlacement& t, float travelled)
{
    return translate(t.position) * rotateY(t.angle) * translate(t.direction * travelled);
}

} // namespace assetgen
