#include "app/game.h"
#include "common/game_state.h"
#include "common/globals.h"

#include <gtest/gtest.h>

namespace {

using frosk::GameState;

TEST(GameStateTexts, EveryOperationReturnsItsHudText)
{
    GameState state;
    EXPECT_EQ(state.levelText(), "LEVEL 1");
    EXPECT_EQ(state.scoreText(), "Score: 0");
    EXPECT_EQ(state.targetsText(), "10x");
    EXPECT_EQ(state.cakesText(), "20x");
    EXPECT_EQ(state.statusText(), "In process");

    EXPECT_EQ(state.addScore(), "Score: 100");
    EXPECT_EQ(state.targetHit(), "9x");
    EXPECT_EQ(state.cakeThrown(), "19x");
    state.cakesLeft = 0;
    EXPECT_EQ(state.cakeThrown(), "-1x");
    state.score = -5;
    EXPECT_EQ(state.scoreText(), "Score: -5");
}

TEST(LevelChange, WinsCountDownTheCakesAndKeepTheScore)
{
    GameState state;
    state.score = 700;
    const int expected[] = {18, 16, 14, 12, 10, 10, 10};
    for (int i = 0; i < 7; ++i) {
        state.status = GameState::won;
        state.targetsLeft = 0;
        state.cakesLeft = 3;
        state.startNextLevel();
        EXPECT_EQ(state.level, i + 2);
        EXPECT_EQ(state.cakesLeft, expected[i]) << "level " << state.level;
        EXPECT_EQ(state.targetsLeft, 10);
        EXPECT_EQ(state.score, 700);
        EXPECT_EQ(state.status, "In process");
    }
    EXPECT_EQ(GameState::cakesForLevel(1000000), 10);
}

TEST(LevelChange, LossStartsOverAtLevelOne)
{
    GameState state;
    state.level = 6;
    state.score = 1200;
    state.targetsLeft = 3;
    state.cakesLeft = 0;
    state.status = GameState::lost;
    state.restart();
    EXPECT_EQ(state.level, 1);
    EXPECT_EQ(state.score, 0);
    EXPECT_EQ(state.targetsLeft, 10);
    EXPECT_EQ(state.cakesLeft, 20);
    EXPECT_EQ(state.status, "In process");
}

TEST(WinAndLoss, WinBeatsLossInTheSameFrame)
{
    GameState state;
    state.targetsLeft = 0;
    state.cakesLeft = 0;
    frosk::decideStatus(state, -10.0, false);
    EXPECT_EQ(state.status, "YOU WIN !");
}

TEST(WinAndLoss, NoCakesLeftIsNoLossWhileOneIsInFlight)
{
    GameState state;
    state.cakesLeft = 0;
    frosk::decideStatus(state, 5000.0, true);
    EXPECT_EQ(state.status, "In process");
    frosk::decideStatus(state, 5000.0, false);
    EXPECT_EQ(state.status, "GAME OVER !");
}

TEST(WinAndLoss, TimeRunningOutLosesEvenWithCakesInFlight)
{
    GameState state;
    frosk::decideStatus(state, 0.0, true);
    EXPECT_EQ(state.status, "GAME OVER !");

    GameState playing;
    frosk::decideStatus(playing, 0.001, true);
    EXPECT_EQ(playing.status, "In process");
}

TEST(FrameTiming, LongFramesDoNotCountAgainstTheClock)
{
    EXPECT_DOUBLE_EQ(frosk::clockStep(0.016), 16.0);
    EXPECT_DOUBLE_EQ(frosk::clockStep(0.1), 100.0);
    EXPECT_DOUBLE_EQ(frosk::clockStep(0.1000001), 0.0);
    EXPECT_DOUBLE_EQ(frosk::clockStep(3.5), 0.0);
}

TEST(FrameTiming, FrameRateTextAppearsOnceMoreThanASecondHasPiledUp)
{
    frosk::fpsText.clear();
    frosk::FrameClock clock;
    // The first frame's dt is all the time since start-up.
    EXPECT_DOUBLE_EQ(clock.tick(0.5), 0.5);
    EXPECT_EQ(frosk::fpsText, "");
    EXPECT_DOUBLE_EQ(clock.tick(0.75), 0.25);
    EXPECT_DOUBLE_EQ(clock.tick(1.0), 0.25);
    EXPECT_EQ(frosk::fpsText, "") << "exactly one second is not more than one";
    clock.tick(1.25);
    EXPECT_EQ(frosk::fpsText, "FPS:4");
    // The pile starts again from zero, not from the overshoot.
    for (int i = 1; i <= 10; ++i)
        clock.tick(1.25 + 0.1 * i);
    EXPECT_EQ(frosk::fpsText, "FPS:4");
    clock.tick(2.36);
    EXPECT_EQ(frosk::fpsText, "FPS:11");
}

TEST(FrameTiming, TheFrameLimitSpacesFrameStartsAndNeverMakesUpForASlowFrame)
{
    frosk::FrameLimiter unlimited(0);
    EXPECT_EQ(unlimited.waitAfterFrame(5.0), 0.0);
    EXPECT_EQ(unlimited.waitAfterFrame(5.001), 0.0);

    // 20 a second: a frame starts every 50 ms at the most.
    frosk::FrameLimiter limiter(20);
    EXPECT_EQ(limiter.waitAfterFrame(3.0), 0.0) << "the first frame has waited since start-up";
    EXPECT_NEAR(limiter.waitAfterFrame(3.01), 0.04, 1e-9) << "a 10 ms frame waits out the rest of its 50";
    EXPECT_NEAR(limiter.waitAfterFrame(3.05 + 0.049), 0.001, 1e-9);
    // A slow frame (120 ms) waits for nothing, and the one after it does not
    // make up for it: its 50 ms count from its own start.
    EXPECT_EQ(limiter.waitAfterFrame(3.1 + 0.12), 0.0);
    EXPECT_NEAR(limiter.waitAfterFrame(3.22 + 0.02), 0.03, 1e-9);
}

} // namespace
