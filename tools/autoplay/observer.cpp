#include "observer.h"

#include "ballistics.h"

#include "common/game_state.h"
#include "common/globals.h"
#include "levels/level.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/target.h"

#include <limits>
#include <set>

namespace autoplay {

namespace {

// Height of the board's middle above the foot of a target, in its model.
constexpr float boardHeight = 0.85f;
// A cake's velocity that differs by more than this from free fall since the
// previous frame has met something.
constexpr float contactKick = 0.3f;
// The loop retires cakes beyond this distance from the origin.
constexpr float retireRadius = 50.0f;

} // namespace

Observer::Observer(const EventLog& log, double frameSeconds) : log(log), frameSeconds(frameSeconds)
{
}

glm::vec3 Observer::boardCentre(const glm::mat4& modelMatrix)
{
    return glm::vec3(modelMatrix * glm::vec4(0.0f, boardHeight, 0.0f, 1.0f));
}

int Observer::targetNumber(const frosk::scene::Target* target) const
{
    const auto found = numbers.find(target);
    return found == numbers.end() ? 0 : found->second;
}

void Observer::levelBuilt(int frame)
{
    numbers.clear();
    lastSeen.clear();
    int number = 0;
    for (const frosk::scene::Target* target : frosk::level->targets) {
        numbers[target] = ++number;
        lastSeen[target] = boardCentre(target->modelMatrix);
    }
    const frosk::GameState& state = *frosk::gameState;
    log.line("level frame=%d level=%d layout=%d targets=%d cakes=%d score=%d", frame, state.level,
             state.level % 2 != 0 ? 1 : 2, static_cast<int>(frosk::level->targets.size()), state.cakesLeft, state.score);
}

void Observer::afterUpdate(int frame)
{
    const frosk::GameState& state = *frosk::gameState;
    const frosk::physicsengine::Physics& world = *frosk::physics;

    // Targets that went during the step, with where they stood.
    std::set<const frosk::scene::Target*> standing(frosk::level->targets.begin(), frosk::level->targets.end());
    std::vector<std::pair<int, glm::vec3>> gone;
    for (auto it = lastSeen.begin(); it != lastSeen.end();) {
        if (standing.count(it->first) == 0) {
            gone.emplace_back(numbers[it->first], it->second);
            it = lastSeen.erase(it);
        } else {
            ++it;
        }
    }

    // Cakes: new ones start a flight, known ones extend it.
    std::set<int> seen;
    const float dt = static_cast<float>(frameSeconds);
    for (const frosk::scene::Cake* cake : frosk::thrownCakes) {
        seen.insert(cake->id);
        const glm::vec3 position = world.position(cake->actor);
        const glm::vec3 velocity = world.linearVelocity(cake->actor);
        auto found = flying.find(cake->id);
        if (found == flying.end()) {
            flying[cake->id] = Flight{{position}, velocity, std::nullopt};
            ++thrown;
            continue;
        }
        Flight& flight = found->second;
        const glm::vec3 expected = flight.velocity + glm::vec3(0.0f, -Ballistics::gravity * dt, 0.0f);
        if (!flight.firstContact && glm::length(velocity - expected) > contactKick)
            flight.firstContact = flight.path.back();
        flight.path.push_back(position);
        flight.velocity = velocity;
    }

    // Cakes that left: a hit when a target went near them, otherwise at rest
    // or out of range.
    for (auto it = flying.begin(); it != flying.end();) {
        if (seen.count(it->first) != 0) {
            ++it;
            continue;
        }
        Flight& flight = it->second;
        CakeOutcome outcome;
        outcome.cakeId = it->first;
        outcome.last = flight.path.back();
        outcome.firstContact = flight.firstContact;
        outcome.path = std::move(flight.path);
        float nearest = std::numeric_limits<float>::max();
        std::size_t nearestTarget = gone.size();
        for (std::size_t i = 0; i < gone.size(); ++i) {
            const float d = glm::length(gone[i].second - outcome.last);
            if (d < nearest) {
                nearest = d;
                nearestTarget = i;
            }
        }
        const glm::vec3 next = outcome.last + flight.velocity * dt;
        if (nearestTarget < gone.size() && nearest < 6.0f) {
            outcome.kind = CakeOutcome::Kind::hit;
            outcome.targetNumber = gone[nearestTarget].first;
            gone.erase(gone.begin() + static_cast<long>(nearestTarget));
            ++hits;
            log.line("hit frame=%d level=%d cake=%d target=%d score=%d targets_left=%d", frame, state.level,
                     outcome.cakeId, outcome.targetNumber, state.score, state.targetsLeft);
        } else if (glm::length(next) > retireRadius - 0.5f) {
            outcome.kind = CakeOutcome::Kind::far;
            ++far;
            log.line("far frame=%d level=%d cake=%d at=(%.2f,%.2f,%.2f)", frame, state.level, outcome.cakeId,
                     outcome.last.x, outcome.last.y, outcome.last.z);
        } else {
            outcome.kind = CakeOutcome::Kind::rest;
            ++rests;
            log.line("rest frame=%d level=%d cake=%d at=(%.2f,%.2f,%.2f)", frame, state.level, outcome.cakeId,
                     outcome.last.x, outcome.last.y, outcome.last.z);
        }
        outcomes[outcome.cakeId] = std::move(outcome);
        it = flying.erase(it);
    }
    // A target that went with no cake of ours near it still counts.
    for (const auto& [number, where] : gone) {
        ++hits;
        log.line("hit frame=%d level=%d cake=-1 target=%d score=%d targets_left=%d", frame, state.level, number,
                 state.score, state.targetsLeft);
    }

    for (const frosk::scene::Target* target : frosk::level->targets)
        lastSeen[target] = boardCentre(target->modelMatrix);

    wonThisFrame = state.status == frosk::GameState::won;
    lostThisFrame = state.status == frosk::GameState::lost;
    if (wonThisFrame) {
        ++levelsWon;
        log.line("win frame=%d level=%d score=%d cakes_left=%d time_left=%.0f", frame, state.level, state.score,
                 state.cakesLeft, *frosk::timeLeft);
    } else if (lostThisFrame) {
        ++losses;
        log.line("loss frame=%d level=%d score=%d cakes_left=%d time_left=%.0f targets_left=%d", frame, state.level,
                 state.score, state.cakesLeft, *frosk::timeLeft, state.targetsLeft);
    }
}

std::optional<CakeOutcome> Observer::takeOutcome(int cakeId)
{
    const auto found = outcomes.find(cakeId);
    if (found == outcomes.end())
        return std::nullopt;
    CakeOutcome outcome = std::move(found->second);
    outcomes.erase(found);
    return outcome;
}

CakeOutcome Observer::flightSoFar(int cakeId) const
{
    CakeOutcome outcome;
    outcome.cakeId = cakeId;
    const auto found = flying.find(cakeId);
    if (found != flying.end()) {
        outcome.path = found->second.path;
        outcome.last = outcome.path.back();
        outcome.firstContact = found->second.firstContact;
    }
    return outcome;
}

std::optional<glm::vec3> Observer::firstContactOf(int cakeId) const
{
    const auto found = flying.find(cakeId);
    if (found == flying.end())
        return std::nullopt;
    return found->second.firstContact;
}

} // namespace autoplay
