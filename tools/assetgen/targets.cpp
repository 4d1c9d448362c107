#include "assetgen.h"

namespace assetgen {

// The landscapes are shaped round the places the game's own layouts give.
const std::vector<TargetPlacement>& levelTargets(int level)
{
    static const std::vector<TargetPlacement> none;
    return level == 1 ? frosk::levels::summerForest().targets : level == 2 ? frosk::levels::winterWood().targets : none;
}

// Where the snowmen of level 2 stand (world x, z) and how far round them
// nothing else may stand.
const std::vector<glm::vec2>& snowmanSpots()
{
    static const std::vector<glm::vec2> spots = [] {
        std::vector<glm::vec2> xz;
        for (const frosk::levels::SnowmanPlacement& s : frosk::levels::winterWood().snowmen)
            xz.emplace_back(s.position.x, s.position.z);
        return xz;
    }();
    return spots;
}

glm::mat4 targetMatrix(const TargetPlacement& t, float travelled)
{
    return translate(t.position) * rotateY(t.angle) * translate(t.direction * travelled);
}

} // namespace assetgen
