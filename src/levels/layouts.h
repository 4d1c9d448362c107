#pragma once

// What stands where in each level, as plain tables. The game builds its
// levels from them, and the asset generator shapes the landscapes round the
// same places (it flattens the ground under targets and keeps trees off
// them), so this header needs nothing but glm and the standard library.

#include <glm/glm.hpp>

#include <vector>

namespace frosk::levels {

// Where a level puts one of its targets and how it moves.
struct TargetPlacement {
    glm::vec3 position;
    float angle; // degrees about y
    glm::vec3 direction; // in the target's own frame
    float speed;
    float distance;
    // With no speed or no distance a target never leaves its place.
    bool moving() const { return speed != 0.0f && distance != 0.0f; }
};

// The snowmen's collision kinds; any other kind stands without a body.
enum SnowmanKind : int {
    snowmanMan = 0,
    snowmanWoman = 1,
    snowmanChild = 2,
};

// One snowman. The first row of a layout is the man: he loads the model,
// swings the arms and always stands at full size (his scale is 1). Every
// later row is made from him at its own scale and only sways.
struct SnowmanPlacement {
    int kind;
    glm::vec3 position;
    float angle; // degrees about y
    float scale;
};

struct Layout {
    // The Terrain's landscape: 1 and 2 have their own, 3 is the plain ground
    // without collision.
    int landscape;
    std::vector<TargetPlacement> targets;
    std::vector<SnowmanPlacement> snowmen;
    // The sound bank slot played once the level stands; whether it loops is
    // the slot's own (only slot 0 does), written here so the table says it.
    int musicSlot;
    bool musicLoops;
};

// The summer forest of the odd levels: ten targets, looping music.
inline const Layout& summerForest()
{
    static const Layout layout{
        1,
        {
            {{-9.0f, -0.05f, -36.0f}, -60.0f, {0, 0, 0}, 0.0f, 0.0f},
            {{3.0f, -1.0f, 12.0f}, 90.0f, {0, 0, 0}, 0.0f, 0.0f},
            {{-20.0f, 4.35f, 22.0f}, 50.0f, {0, 0, 0}, 0.0f, 0.0f},
            {{25.0f, 8.3f, 19.0f}, 135.0f, {0, 0, 0}, 0.0f, 0.0f},
            {{18.0f, -1.0f, 0.0f}, -180.0f, {1, 0, 0}, 3.0f, 8.0f},
            {{-22.0f, 1.5f, 4.0f}, 20.0f, {0, 1, 0}, 2.0f, 4.0f},
            {{26.0f, 1.0f, -5.0f}, -180.0f, {0, 1, 0}, 4.0f, 6.0f},
            {{-10.0f, 4.7f, -14.0f}, -45.0f, {0, 0, 1}, 2.0f, 7.0f},
            {{19.0f, 1.5f, -18.0f}, -135.0f, {0, 0, 1}, 2.5f, 7.0f},
            {{-12.0f, -1.0f, 7.0f}, 35.0f, {0, 0, 1}, 2.0f, 2.0f},
        },
        {},
        0,
        true,
    };
    return layout;
}

// The winter wood of the even levels: ten targets, a family of three swaying
// snowmen in the way, and a jingle once the level stands.
inline const Layout& winterWood()
{
    static const Layout layout{
        2,
        {
            {{11.0f, 3.0f, -6.0f}, -150.0f, {0, 0, 0}, 0.0f, 0.0f},
            {{9.0f, 3.5f, 16.0f}, 115.0f, {0, 0, 0}, 0.0f, 0.0f},
            {{21.0f, 5.4f, 32.5f}, 125.0f, {0, 0, 0}, 0.0f, 0.0f},
            {{-10.5f, 2.5f, 9.0f}, 35.0f, {0, 0, 1}, 2.0f, 2.0f},
            {{-7.0f, 3.9f, -13.0f}, -45.0f, {0, 0, 1}, 2.0f, 6.0f},
            {{36.5f, 6.0f, 13.0f}, 160.0f, {0, 1, 0}, 4.0f, 5.0f},
            {{15.0f, 7.0f, -14.0f}, -120.0f, {0, 0, 1}, 3.0f, 7.0f},
            {{8.0f, 8.2f, -27.0f}, -110.0f, {0, 0, 0}, 0.0f, 0.0f},
            {{-26.0f, 3.3f, 4.0f}, 20.0f, {0, 1, 0}, 3.0f, 5.0f},
            {{18.0f, 1.4f, 8.0f}, 155.0f, {1, 0, 0}, 3.0f, 4.0f},
        },
        {
            {snowmanMan, {-1.3f, -1.95f, 9.0f}, 125.0f, 1.0f},
            {snowmanChild, {0.6f, -1.95f, 8.0f}, 140.0f, 0.5f},
            {snowmanWoman, {-3.5f, -1.95f, 8.2f}, 100.0f, 0.9f},
        },
        4,
        false,
    };
    return layout;
}

} // namespace frosk::levels
