#pragma once

#include "ballistics.h"
#include "observer.h"
#include "options.h"

#include <glm/glm.hpp>

#include <map>
#include <optional>
#include <random>

namespace frosk::controls {
class ScriptedInput;
}
namespace frosk::scene {
class Target;
}

namespace autoplay {

// The scripted player. Before each frame it decides what is held and where
// the cursor goes; after the frame it looks at what came of it. It sees the
// game only as a player would learn it (where the targets stand and move,
// where its cakes fly and land) and acts only through the input.
class Player {
public:
    Player(frosk::controls::ScriptedInput& input, Observer& observer, const EventLog& log, double frameSeconds,
           float wobbleDegrees, unsigned seed);

    // What to do with the level now being played.
    void setAim(Aim aim) { this->aim = aim; }
    void levelChanged();
    void beforeFrame(int frame);
    void afterFrame(int frame);

private:
    enum class Phase { settle, choose, walk, ready, charge };
    // What the player has learnt about one target of the level.
    struct Memory {
        int misses = 0;
        bool lob = false;
        glm::vec3 correction{0.0f};
        std::optional<glm::vec3> standpoint;
    };
    // A target's motion, replayed ahead of time: the same rule the target
    // follows each frame, on a copy of its state.
    struct Motion {
        glm::mat4 modelMatrix;
        glm::vec3 direction;
        float speed, distance, travelled;
        void step(double dt);
    };

    // A cake on its way, and what it was meant for.
    struct Shot {
        int targetNumber = 0;
        const frosk::scene::Target* target = nullptr;
        glm::vec3 from{0.0f};
        glm::vec3 aimedAt{0.0f};
        int framesSinceContact = 0;
    };

    // The nearest target worth a throw, leaving out those with a cake on the
    // way; misses make a target wait.
    frosk::scene::Target* chooseTarget() const;
    // The phases' work before a frame.
    void choose(int frame);
    void getReady();
    void charge(int frame);
    // Where to aim at the target so that a cake launched at `speed` meets it.
    std::optional<Launch> plan(const frosk::scene::Target& target, const Memory& memory, float speed) const;
    float speedWanted(const frosk::scene::Target& target, const Memory& memory) const;
    void point(float yaw, float pitch);
    // Faces the target while charging, the way a player sizes it up; the
    // throw itself snaps to the launch angles in its last frame.
    void lookAt(const frosk::scene::Target& target);
    // The throw of this frame, with what it was meant to hit (none when the
    // cake goes into the sky).
    void recordThrow(int frame, const std::optional<Launch>& launch);
    void learn(const Shot& shot, const CakeOutcome& outcome);

    frosk::controls::ScriptedInput& input;
    Observer& observer;
    const EventLog& log;
    double frameSeconds;
    Ballistics ballistics;
    Aim aim = Aim::win;
    float wobble; // radians
    std::mt19937 hand;

    Phase phase = Phase::settle;
    int phaseFrames = 0;
    glm::vec3 lastEye{0.0f};
    frosk::scene::Target* target = nullptr;
    int targetNumber = 0;
    float wantedSpeed = 0.0f;
    std::map<int, Shot> shots; // by cake id
    float walkStart = 0.0f;
    int throwsAway = 0;
    std::map<int, Memory> memories; // by target number
};

} // namespace autoplay
