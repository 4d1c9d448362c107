#include "common/game_state.h"

namespace frosk {

std::string GameState::addScore()
{
    score += 100;
    return scoreText();
}

std::string GameState::targetHit()
{
    targetsLeft -= 1;
    return targetsText();
}

std::string GameState::cakeThrown()
{
    cakesLeft -= 1;
    return cakesText();
}

std::string GameState::levelText() const { return "LEVEL " + std::to_string(level); }
std::string GameState::scoreText() const { return "Score: " + std::to_string(score); }
std::string GameState::targetsText() const { return std::to_string(targetsLeft) + "x"; }
std::string GameState::cakesText() const { return std::to_string(cakesLeft) + "x"; }
std::string GameState::statusText() const { return status; }

int GameState::cakesForLevel(int level)
{
    // From level 6 on the formula gives 10 or less; stopping there also keeps
    // the arithmetic clear of overflow however long the player goes on.
    if (level >= 6)
        return 10;
    return 2 * (11 - level);
}

void GameState::startNextLevel()
{
    status = inProcess;
    level += 1;
    cakesLeft = cakesForLevel(level);
    targetsLeft = 10;
}

void GameState::restart()
{
    status = inProcess;
    score = 0;
    level = 1;
    targetsLeft = 10;
    cakesLeft = 20;
}

} // namespace frosk
