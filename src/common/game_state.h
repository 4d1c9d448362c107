#pragma once

#include <string>

namespace frosk {

// Level number, score and the counters the HUD shows. Every operation returns
// the HUD text of the value it concerns.
class GameState {
public:
    GameState() = default;
    virtual ~GameState() = default;

    std::string addScore();
    std::string targetHit();
    std::string cakeThrown();
    std::string levelText() const;
    std::string scoreText() const;
    std::string targetsText() const;
    std::string cakesText() const;
    std::string statusText() const;

    // The counters of a level change: a won level moves on to the next number
    // with fewer cakes and keeps the score; a lost one starts over at level 1.
    void startNextLevel();
    void restart();

    // Fewer cakes each level: 20, 18, 16, 14, 12, and never below 10.
    static int cakesForLevel(int level);

    int level = 1;
    int score = 0;
    int targetsLeft = 10;
    int cakesLeft = 20;
    std::string status = inProcess;

    static constexpr const char* inProcess = "In process";
    static constexpr const char* won = "YOU WIN !";
    static constexpr const char* lost = "GAME OVER !";
};

} // namespace frosk
