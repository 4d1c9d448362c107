#pragma once

#include "event_log.h"

#include <glm/glm.hpp>

#include <map>
#include <optional>
#include <vector>

namespace frosk::scene {
class Target;
}

namespace autoplay {

// How a thrown cake left the game.
struct CakeOutcome {
    enum class Kind { hit, rest, far } kind = Kind::rest;
    int cakeId = 0;
    int targetNumber = 0; // the target it hit, numbered 1..10 in the level's order
    glm::vec3 last{0.0f}; // where it was last seen
    // Where it first met something other than air, if it did before leaving.
    std::optional<glm::vec3> firstContact;
    std::vector<glm::vec3> path; // one point per frame in flight
};

// Watches the game between frames and reports what happened: hits, cakes at
// rest or out of range, wins, losses and new levels. Reads the game's state
// only; never changes it.
class Observer {
public:
    Observer(const EventLog& log, double frameSeconds);

    // A level has just been built (at start-up or by a level change).
    void levelBuilt(int frame);
    // After the frame's update: cakes that appeared, moved or vanished,
    // targets gone, the status.
    void afterUpdate(int frame);

    // The outcome of a cake once it has left the game; taken once.
    std::optional<CakeOutcome> takeOutcome(int cakeId);
    // Where a flying cake first touched something, if it has.
    std::optional<glm::vec3> firstContactOf(int cakeId) const;
    bool inFlight(int cakeId) const { return flying.count(cakeId) != 0; }
    // What a cake still in the game has done so far, as if it had come to rest.
    CakeOutcome flightSoFar(int cakeId) const;

    // 1..10 in the order the level placed them; 0 for an unknown target.
    int targetNumber(const frosk::scene::Target* target) const;
    // The middle of a target's board, where a cake should arrive.
    static glm::vec3 boardCentre(const glm::mat4& modelMatrix);

    bool wonThisFrame = false;
    bool lostThisFrame = false;
    int levelsWon = 0;
    int losses = 0;
    int thrown = 0;
    int hits = 0;
    int rests = 0;
    int far = 0;

private:
    struct Flight {
        std::vector<glm::vec3> path;
        glm::vec3 velocity{0.0f};
        std::optional<glm::vec3> firstContact;
    };
    const EventLog& log;
    double frameSeconds;
    std::map<int, Flight> flying;
    std::map<int, CakeOutcome> outcomes;
    // Targets of the current level with their numbers and last board centres.
    std::map<const frosk::scene::Target*, int> numbers;
    std::map<const frosk::scene::Target*, glm::vec3> lastSeen;
};

} // namespace autoplay
