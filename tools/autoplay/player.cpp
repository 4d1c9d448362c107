#include "player.h"

#include "common/game_state.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "controls/input.h"
#include "levels/level.h"
#include "scene/cake.h"
#include "scene/target.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace autoplay {

namespace {

// Pitch the player likes to throw at: flat enough to fly fast and straight,
// high enough to clear the ground between; and the lob for when something
// stands in the way.
constexpr float flatPitch = 0.35f;
constexpr float lobPitch = 0.95f;
// Thrown away: steeply up, hard enough to leave the hand's wind-up behind.
constexpr float skyPitch = 1.4f;
constexpr float skySpeed = 12.0f;
// A cake that first touched something this much nearer than the target, and
// this far from it, was stopped on the way.
constexpr float blockedMargin = 2.5f;
// Misses after which a target waits until the others have been tried.
constexpr int patience = 3;
// A cake that has been bouncing about this long since its first touch will
// not reach its target any more.
constexpr int framesAfterContact = 40;

float horizontalDistance(const glm::vec3& a, const glm::vec3& b)
{
    return glm::length(glm::vec2(a.x - b.x, a.z - b.z));
}

float wrapAngle(float angle)
{
    const float pi = glm::pi<float>();
    while (angle > pi)
        angle -= 2.0f * pi;
    while (angle < -pi)
        angle += 2.0f * pi;
    return angle;
}

bool standing(const frosk::scene::Target* target)
{
    const auto& targets = frosk::level->targets;
    return target != nullptr && std::find(targets.begin(), targets.end(), target) != targets.end();
}

} // namespace

void Player::Motion::step(double dt)
{
    if (dt > 0.1 || distance == 0.0f || speed == 0.0f)
        return;
    if (distance > travelled) {
        const float f = static_cast<float>(dt);
        modelMatrix = glm::translate(modelMatrix, direction * f * speed);
        travelled = f * speed + travelled;
    } else {
        direction = -direction;
        travelled = 0.0f;
    }
}

Player::Player(frosk::controls::ScriptedInput& input, Observer& observer, const EventLog& log, double frameSeconds,
               float wobbleDegrees, unsigned seed)
    : input(input),
      observer(observer),
      log(log),
      frameSeconds(frameSeconds),
      ballistics(frameSeconds),
      wobble(glm::radians(wobbleDegrees)),
      hand(seed)
{
}

void Player::levelChanged()
{
    input.releaseAll();
    memories.clear();
    target = nullptr;
    shots.clear();
    phase = Phase::settle;
    phaseFrames = 0;
}

frosk::scene::Target* Player::chooseTarget() const
{
    const glm::vec3 eye = frosk::controller->position;
    frosk::scene::Target* best = nullptr;
    float bestCost = std::numeric_limits<float>::max();
    for (frosk::scene::Target* candidate : frosk::level->targets) {
        const bool awaited = std::any_of(shots.begin(), shots.end(),
                                         [&](const auto& shot) { return shot.second.target == candidate; });
        if (awaited)
            continue;
        const auto found = memories.find(observer.targetNumber(candidate));
        const int misses = found == memories.end() ? 0 : found->second.misses;
        float cost = horizontalDistance(eye, Observer::boardCentre(candidate->modelMatrix)) + 12.0f * misses;
        if (misses >= patience)
            cost += 1000.0f * static_cast<float>(misses / patience);
        if (cost < bestCost) {
            bestCost = cost;
            best = candidate;
        }
    }
    return best;
}

std::optional<Launch> Player::plan(const frosk::scene::Target& aimAt, const Memory& memory, float speed) const
{
    const glm::vec3 eye = frosk::controller->position;
    const Motion now{aimAt.modelMatrix, aimAt.direction, aimAt.speed, aimAt.distance, aimAt.travelled};
    // Where the target will be when the cake arrives depends on how long the
    // cake flies, which depends on where it must go: a few rounds settle it.
    std::optional<Launch> launch;
    int steps = 0;
    for (int round = 0; round < 5; ++round) {
        Motion ahead = now;
        for (int i = 0; i < steps; ++i)
            ahead.step(frameSeconds);
        const glm::vec3 point = Observer::boardCentre(ahead.modelMatrix) + memory.correction;
        launch = ballistics.solve(eye, point, speed, memory.lob);
        if (!launch || launch->steps == steps)
            break;
        steps = launch->steps;
    }
    return launch;
}

float Player::speedWanted(const frosk::scene::Target& aimAt, const Memory& memory) const
{
    const glm::vec3 eye = frosk::controller->position;
    const glm::vec3 point = Observer::boardCentre(aimAt.modelMatrix) + memory.correction;
    // Above the straight line to the target by a margin that makes the arc.
    const float elevation = std::atan2(point.y - eye.y, horizontalDistance(eye, point));
    const float pitch = std::min(elevation + (memory.lob ? lobPitch : flatPitch), 1.4f);
    return ballistics.speedFor(eye, point, pitch, memory.lob, 5.5f);
}

void Player::point(float yaw, float pitch)
{
    const frosk::controls::Controller& player = *frosk::controller;
    const float turn = wrapAngle(yaw - player.horizontalAngle);
    const float tilt = std::clamp(pitch, Ballistics::lowestPitch, Ballistics::highestPitch) - player.verticalAngle;
    const glm::dvec2 centre = player.cursorCentre();
    input.setCursorPosition(centre - glm::dvec2(turn, tilt) / static_cast<double>(player.mouseSpeed * player.lookSensitivity));
}

void Player::lookAt(const frosk::scene::Target& target)
{
    const glm::vec3 eye = frosk::controller->position;
    const glm::vec3 board = Observer::boardCentre(target.modelMatrix);
    point(Ballistics::yawTowards(eye, board), std::atan2(board.y - eye.y, horizontalDistance(eye, board)));
}

void Player::beforeFrame(int frame)
{
    switch (phase) {
    case Phase::settle:
        input.releaseAll();
        break;
    case Phase::choose:
        choose(frame);
        break;
    case Phase::walk:
        point(Ballistics::yawTowards(frosk::controller->position, *memories[targetNumber].standpoint), 0.0f);
        input.press(GLFW_KEY_W);
        break;
    case Phase::ready:
        getReady();
        break;
    case Phase::charge:
        charge(frame);
        break;
    }
}

void Player::choose(int frame)
{
    if (aim == Aim::lose) {
        phase = Phase::ready;
        return;
    }
    target = chooseTarget();
    if (target == nullptr)
        return;
    targetNumber = observer.targetNumber(target);
    const glm::vec3 eye = frosk::controller->position;
    const std::optional<glm::vec3>& there = memories[targetNumber].standpoint;
    if (there && horizontalDistance(eye, *there) > 1.0f) {
        phase = Phase::walk;
        phaseFrames = 0;
        walkStart = horizontalDistance(eye, *there);
        log.line("walk frame=%d level=%d target=%d to=(%.2f,%.2f)", frame, frosk::gameState->level, targetNumber,
                 there->x, there->z);
    } else {
        phase = Phase::ready;
    }
}

void Player::getReady()
{
    const glm::vec3 eye = frosk::controller->position;
    if (aim == Aim::lose) {
        // Away from the nearest target, alternating sides, so that no cake
        // comes down on one.
        float yaw = frosk::controller->horizontalAngle;
        float nearest = std::numeric_limits<float>::max();
        for (const frosk::scene::Target* t : frosk::level->targets) {
            const glm::vec3 board = Observer::boardCentre(t->modelMatrix);
            if (horizontalDistance(eye, board) < nearest) {
                nearest = horizontalDistance(eye, board);
                yaw = Ballistics::yawTowards(eye, board) + glm::pi<float>();
            }
        }
        // With none left, look out over the field while the last comes down.
        const bool cakesLeft = frosk::gameState->cakesLeft > 0;
        point(yaw + (throwsAway % 2 == 0 ? 0.6f : -0.6f), cakesLeft ? skyPitch : 0.0f);
        wantedSpeed = skySpeed;
    } else {
        if (!standing(target)) {
            phase = Phase::choose;
            return;
        }
        wantedSpeed = speedWanted(*target, memories[targetNumber]);
        // Until the hand has the next cake, the eyes follow the last one.
        if (frosk::cake == nullptr || frosk::cake->ready)
            lookAt(*target);
    }
    // The game lets the button throw on when the cakes have run out; a
    // player with none left waits for the level to end.
    if (frosk::gameState->cakesLeft > 0 && (frosk::cake == nullptr || frosk::cake->ready)) {
        input.press(GLFW_MOUSE_BUTTON_LEFT);
        phase = Phase::charge;
        phaseFrames = 0;
    }
}

void Player::charge(int frame)
{
    const frosk::controls::Controller& player = *frosk::controller;
    if (!player.charging)
        return; // the press comes through once the held cake is back
    const float speed = player.throwStrength;
    const float chargePerFrame = frosk::controls::Controller::strengthPerSecond * static_cast<float>(frameSeconds);
    const bool enough = speed + 0.5f * chargePerFrame >= wantedSpeed;
    std::optional<Launch> launch;
    if (aim == Aim::lose) {
        if (!enough)
            return;
    } else {
        if (!standing(target)) {
            // Someone else's cake took it: aim the charge at another.
            target = chooseTarget();
            if (target == nullptr)
                return;
            targetNumber = observer.targetNumber(target);
            wantedSpeed = std::max(speed, speedWanted(*target, memories[targetNumber]));
            return;
        }
        launch = plan(*target, memories[targetNumber], speed);
        if (!enough || !launch) {
            lookAt(*target);
            if (speed < 45.0f)
                return;
            // Out of reach however hard: throw anyway rather than hold for ever.
            launch = Launch{player.horizontalAngle, 0.785f, speed, 0};
        }
        std::uniform_real_distribution<float> off(-wobble, wobble);
        point(launch->yaw + off(hand), launch->pitch + off(hand));
    }
    input.release(GLFW_MOUSE_BUTTON_LEFT);
    recordThrow(frame, launch);
    ++throwsAway;
    phase = aim == Aim::lose ? Phase::ready : Phase::choose;
    phaseFrames = 0;
}

void Player::recordThrow(int frame, const std::optional<Launch>& launch)
{
    const frosk::controls::Controller& player = *frosk::controller;
    const glm::vec3 eye = player.position;
    const float speed = player.throwStrength;
    const int cakeId = frosk::nextCakeId;
    // The angles the throw will really take, after this frame's turn.
    const glm::dvec2 turn = (player.cursorCentre() - input.cursorPosition())
                          * static_cast<double>(player.mouseSpeed * player.lookSensitivity);
    const float yaw = wrapAngle(player.horizontalAngle + static_cast<float>(turn.x));
    const float pitch = std::clamp(player.verticalAngle + static_cast<float>(turn.y), Ballistics::lowestPitch,
                                   Ballistics::highestPitch);
    if (launch) {
        Shot& shot = shots[cakeId];
        shot.targetNumber = targetNumber;
        shot.target = target;
        shot.from = eye;
        shot.aimedAt = ballistics.positionAfter(eye, *launch, launch->steps);
    }
    log.line("throw frame=%d level=%d cake=%d target=%d speed=%.2f pitch=%.1f yaw=%.1f from=(%.2f,%.2f,%.2f) lob=%d",
             frame, frosk::gameState->level, cakeId, launch ? targetNumber : 0, speed, glm::degrees(pitch),
             glm::degrees(yaw), eye.x, eye.y, eye.z, launch && memories[targetNumber].lob ? 1 : 0);
}

void Player::afterFrame(int frame)
{
    (void)frame;
    ++phaseFrames;
    const glm::vec3 eye = frosk::controller->position;
    const bool still = glm::length(eye - lastEye) < 1e-3f;
    lastEye = eye;

    switch (phase) {
    case Phase::settle:
        if (still && phaseFrames >= 10) {
            phase = Phase::choose;
            phaseFrames = 0;
        }
        break;

    case Phase::walk: {
        const glm::vec3 there = *memories[targetNumber].standpoint;
        const float left = horizontalDistance(eye, there);
        // Arrived, or stuck against something, or walking for too long.
        const bool stuck = phaseFrames % 45 == 0 && left > walkStart - 0.3f;
        if (phaseFrames % 45 == 0)
            walkStart = left;
        if (left < 0.6f || stuck || phaseFrames > 900) {
            memories[targetNumber].standpoint = eye;
            input.release(GLFW_KEY_W);
            phase = Phase::settle;
            phaseFrames = 0;
        }
        break;
    }

    default:
        break;
    }

    for (auto it = shots.begin(); it != shots.end();) {
        const int cakeId = it->first;
        Shot& shot = it->second;
        if (observer.firstContactOf(cakeId))
            ++shot.framesSinceContact;
        std::optional<CakeOutcome> outcome = observer.takeOutcome(cakeId);
        if (!outcome && shot.framesSinceContact > framesAfterContact && standing(shot.target)) {
            // Still rolling about; judge by what it did so far.
            outcome = observer.flightSoFar(cakeId);
        }
        if (outcome) {
            learn(shot, *outcome);
            it = shots.erase(it);
        } else {
            ++it;
        }
    }
}

void Player::learn(const Shot& shot, const CakeOutcome& outcome)
{
    const int targetNumber = shot.targetNumber;
    const glm::vec3& thrownFrom = shot.from;
    const glm::vec3& aimedAt = shot.aimedAt;
    if (outcome.kind == CakeOutcome::Kind::hit && outcome.targetNumber == targetNumber) {
        memories.erase(targetNumber);
        return;
    }
    if (outcome.kind == CakeOutcome::Kind::hit || !standing(shot.target))
        return;
    Memory& memory = memories[targetNumber];
    ++memory.misses;
    const int level = frosk::gameState->level;
    const float reach = horizontalDistance(thrownFrom, aimedAt);
    if (outcome.firstContact && horizontalDistance(thrownFrom, *outcome.firstContact) < reach - blockedMargin
        && glm::length(*outcome.firstContact - aimedAt) > blockedMargin) {
        const glm::vec3 stop = *outcome.firstContact;
        if (!memory.lob) {
            memory.lob = true;
            log.line("adapt level=%d target=%d blocked_at=(%.2f,%.2f,%.2f) next=lob", level, targetNumber, stop.x,
                     stop.y, stop.z);
        } else {
            // Over it did not work either: go closer along the way to it.
            memory.lob = false;
            glm::vec3 there = thrownFrom + (aimedAt - thrownFrom) * 0.45f;
            there.y = thrownFrom.y;
            memory.standpoint = there;
            log.line("adapt level=%d target=%d blocked_at=(%.2f,%.2f,%.2f) next=walk", level, targetNumber, stop.x,
                     stop.y, stop.z);
        }
        return;
    }
    // It got there but passed wide, short or long: aim off by what it missed.
    glm::vec3 closest = outcome.path.empty() ? outcome.last : outcome.path.front();
    for (const glm::vec3& p : outcome.path)
        if (glm::length(p - aimedAt) < glm::length(closest - aimedAt))
            closest = p;
    memory.correction += 0.7f * (aimedAt - closest);
    if (glm::length(memory.correction) > 3.0f)
        memory.correction = glm::normalize(memory.correction) * 3.0f;
    log.line("adapt level=%d target=%d missed_by=%.2f correction=(%.2f,%.2f,%.2f)", level, targetNumber,
             glm::length(aimedAt - closest), memory.correction.x, memory.correction.y, memory.correction.z);
}

} // namespace autoplay
