// The round as a whole: the timetable's pace, the end of the round, the phases, Escape, and a
// scripted player through a full round and into the next.
#include "game_support.h"
#include "harness.h"

#include "game/round.h"
#include "game/screens.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

double RowTime(int row)
{
    return g_spawnSchedule[row * SPAWN_ROW_VALUES];
}

// Missiles that would reach the satellite are taken out of the round, so it runs its full time.
void DisarmMissiles()
{
    for (EnemySlot& e : g_enemySlots)
        if (e.alive && e.kind == Missile)
            e.alive = false;
}

} // namespace

TEST_F(GameScene, TimetablePaceAndTheEndOfTheRound)
{
    g_frameDelta = 0.05f;
    std::map<int, int> spawnFrame;       // row -> frame it appeared in
    std::map<int, float> spawnElapsed;   // row -> clock of that frame
    std::vector<float> timeLeftAfter;    // per frame
    int endFrame = -1;
    for (int frame = 0; frame < 4000 && endFrame < 0; frame++) {
        float elapsed = g_elapsed;
        int32_t cursor = g_scheduleCursor;
        // A long frame near the end carries the clock past the end marker at 181 s.
        g_frameDelta = g_timeLeft < 3.0f && g_timeLeft > 0.0f ? 5.0f : 0.05f;
        RunRoundFrame(g_hWnd);
        ASSERT_LE(g_scheduleCursor - cursor, SPAWN_ROW_VALUES) << "at most one row per frame";
        if (g_scheduleCursor != cursor) {
            spawnFrame[cursor / SPAWN_ROW_VALUES] = frame;
            spawnElapsed[cursor / SPAWN_ROW_VALUES] = elapsed;
        }
        timeLeftAfter.push_back(g_timeLeft);
        if (g_resultActive)
            endFrame = frame;
        DisarmMissiles();
    }
    ASSERT_GT(endFrame, 1);

    // The first enemy comes with the first frame at 2 s; every row waits for its time.
    EXPECT_GE(spawnElapsed[0], 2.0f);
    EXPECT_LT(spawnElapsed[0] - 0.05f, 2.0f);
    for (auto [row, elapsed] : spawnElapsed)
        if (row < 251) {
            EXPECT_GE(elapsed, RowTime(row)) << row;
        }
    // Rows out of order, or due together, follow on the very next frame.
    EXPECT_EQ(spawnFrame[99] + 1, spawnFrame[100]);
    EXPECT_EQ(spawnFrame[180] + 1, spawnFrame[181]);
    EXPECT_EQ(spawnFrame[225] + 1, spawnFrame[226]);

    // The round ends on the frame after the clock ran out, and the world stops there.
    EXPECT_LE(timeLeftAfter[endFrame - 1], 0.0f);
    EXPECT_GT(timeLeftAfter[endFrame - 2], 0.0f);
    EXPECT_FALSE(g_worldActive);
    EXPECT_TRUE(g_playing);

    // With the clock past 181 s the marker and the zero rows behind it spawn one per frame on the
    // result screen, up to the table's end and no further.
    float stopped = g_elapsed;
    for (int frame = 0; frame < 120; frame++) {
        int32_t cursor = g_scheduleCursor;
        RunRoundFrame(g_hWnd);
        ASSERT_LE(g_scheduleCursor - cursor, SPAWN_ROW_VALUES);
    }
    EXPECT_EQ(SPAWN_SCHEDULE_VALUES - 2, g_scheduleCursor);
    EXPECT_EQ(stopped, g_elapsed);
}

TEST_F(GameScene, MissileAtTheSatelliteEndsTheRoundInThatFrame)
{
    g_frameDelta = 0.05f;
    int endFrame = -1;
    int missileSlot = -1;
    for (int frame = 0; frame < 2000 && endFrame < 0; frame++) {
        bool alive[ENEMY_SLOT_COUNT];
        for (int i = 0; i < ENEMY_SLOT_COUNT; i++)
            alive[i] = g_enemySlots[i].alive;
        RunRoundFrame(g_hWnd);
        if (g_resultActive) {
            endFrame = frame;
            for (int i = 0; i < ENEMY_SLOT_COUNT; i++)
                if (alive[i] && !g_enemySlots[i].alive && g_enemySlots[i].kind == Missile)
                    missileSlot = i;
        }
    }
    ASSERT_GE(endFrame, 0);
    ASSERT_GE(missileSlot, 0);
    // The first missile (6 s) needs 10 s from its first update.
    EXPECT_NEAR(16.0f, g_elapsed, 0.2f);
    EXPECT_FALSE(g_enemySlots[missileSlot].exploding);
    // The clock has stopped, so rows due later never come.
    int32_t cursor = g_scheduleCursor;
    for (int frame = 0; frame < 50; frame++)
        RunRoundFrame(g_hWnd);
    EXPECT_EQ(cursor, g_scheduleCursor);
    EXPECT_GT(RowTime(cursor / SPAWN_ROW_VALUES), g_elapsed);
}

// Title, play, result and back: the left button starts, the right button turns the pages.
TEST(GameRound, PhasesFromTitleThroughPlayAndResultBackToTitle)
{
    int playFrame = -1;
    int resultFrame = -1;
    int titleAgainFrame = -1;
    GameScript script;
    script.frameMs = 50;
    script.onFrame = [&](int frame, GameScript&) {
        if (frame == 1) {
            EXPECT_TRUE(g_titleActive && !g_playing && !g_worldActive);
            EXPECT_EQ(320, g_mouseX);
            EXPECT_EQ(240, g_mouseY);
            EXPECT_EQ(ROUND_SECONDS, g_timeLeft);
        }
        if (frame == 3)
            TestSetMouseButton(VK_LBUTTON, true);
        if (playFrame < 0 && g_worldActive)
            playFrame = frame;
        if (frame == playFrame + 1)
            TestSetMouseButton(VK_LBUTTON, false);
        // Nobody shoots, so the first missile ends the round.
        if (resultFrame < 0 && g_resultActive) {
            resultFrame = frame;
            EXPECT_FALSE(g_worldActive);
            EXPECT_EQ(0, g_resultPage);
        }
        if (resultFrame > 0 && titleAgainFrame < 0) {
            int step = (frame - resultFrame) % 10;
            TestSetMouseButton(VK_RBUTTON, step >= 2 && step < 5);
            if (g_titleActive) {
                titleAgainFrame = frame;
                EXPECT_FALSE(g_playing || g_worldActive || g_resultActive);
            }
        }
        if (titleAgainFrame > 0 && frame == titleAgainFrame + 3) {
            EXPECT_TRUE(g_titleActive);
            TestPressKey(VK_ESCAPE);
        }
    };
    EXPECT_EQ(1, RunGame(script));
    // Pressed at the poll of frame 4, held at frame 5: play starts in that same frame.
    EXPECT_EQ(5, playFrame);
    EXPECT_GT(resultFrame, playFrame + 300);
    // Two held presses, each let go: the pages turn two polls after each release.
    EXPECT_EQ(resultFrame + 17, titleAgainFrame);
}

TEST(GameRound, EscapeDuringPlayEndsTheProgram)
{
    GameScript script;
    script.onFrame = [](int frame, GameScript&) {
        TestSetMouseButton(VK_LBUTTON, frame >= 2);
        if (frame == 60) {
            EXPECT_TRUE(g_worldActive);
            TestPressKey(VK_ESCAPE);
        }
    };
    EXPECT_EQ(1, RunGame(script));
}

TEST(GameRound, EscapeOnTheResultScreenEndsTheProgram)
{
    bool sawResult = false;
    GameScript script;
    script.frameMs = 100;
    script.onFrame = [&](int frame, GameScript&) {
        TestSetMouseButton(VK_LBUTTON, frame >= 2 && frame < 6);
        if (g_resultActive && !sawResult) {
            sawResult = true;
            TestPressKey(VK_ESCAPE);
        }
    };
    EXPECT_EQ(1, RunGame(script));
    EXPECT_TRUE(sawResult);
}
