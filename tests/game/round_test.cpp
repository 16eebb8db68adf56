// The round as a whole: the timetable's pace, what ends a round, the phases and Escape.
#include "game_support.h"
#include "harness.h"

#include "game/screens.h"
#include "scene/scene_registry.h"
#include "testing_render.h"

#include <gtest/gtest.h>

#include <map>

TEST_F(GameScene, TimetablePaceAndTheEndOfTheRound)
{
    std::map<int, int> spawnFrame;     // row -> frame it appeared in
    std::map<int, float> spawnElapsed; // row -> the clock of that frame
    std::vector<float> timeLeftAfter;
    while (!g_resultActive && timeLeftAfter.size() < 4000) {
        float elapsed = g_elapsed;
        int32_t cursor = g_scheduleCursor;
        // A long frame near the end carries the clock past the end marker at 181 s.
        g_frameDelta = g_timeLeft < 3.0f && g_timeLeft > 0.0f ? 5.0f : 0.05f;
        RunRoundFrame(g_hWnd);
        if (g_scheduleCursor != cursor) {
            spawnFrame[cursor / 6] = static_cast<int>(timeLeftAfter.size());
            spawnElapsed[cursor / 6] = elapsed;
        }
        timeLeftAfter.push_back(g_timeLeft);
        for (EnemySlot& e : g_enemySlots)
            e.alive = e.alive && e.kind != Missile; // none may reach the satellite
    }
    ASSERT_TRUE(g_resultActive);
    EXPECT_TRUE(spawnElapsed[0] >= 2.0f && spawnElapsed[0] - 0.05f < 2.0f); // the first frame at 2 s
    for (int row = 1; row < 251; row++) {
        EXPECT_GE(spawnElapsed[row], g_spawnSchedule[row * 6]) << row;
        if (g_spawnSchedule[row * 6] > g_spawnSchedule[row * 6 - 6]) {
            EXPECT_GT(spawnElapsed[row], spawnElapsed[row - 1]) << row;
        } else { // one row per frame: out-of-order and same-time rows follow on the next frame
            EXPECT_EQ(spawnFrame[row - 1] + 1, spawnFrame[row]) << row;
        }
    }
    // The round ends on the frame after the clock ran out, and the world stops there.
    size_t end = timeLeftAfter.size() - 1;
    EXPECT_TRUE(timeLeftAfter[end - 1] <= 0.0f && timeLeftAfter[end - 2] > 0.0f);
    EXPECT_TRUE(g_playing && !g_worldActive);

    // With the clock stopped past 181 s the marker and the zero rows spawn one per frame on the
    // result screen, up to the table's end and no further.
    float stopped = g_elapsed;
    for (int frame = 0; frame < 120; frame++)
        RunRoundFrame(g_hWnd);
    EXPECT_EQ(SPAWN_SCHEDULE_VALUES - 2, g_scheduleCursor);
    EXPECT_EQ(stopped, g_elapsed);
}

TEST_F(GameScene, MissileAtTheSatelliteEndsTheRoundInThatFrame)
{
    g_frameDelta = 0.05f;
    bool missileLive = false;
    while (!g_resultActive && g_elapsed < 30.0f) {
        missileLive = false;
        for (const EnemySlot& e : g_enemySlots)
            missileLive = missileLive || (e.alive && e.kind == Missile);
        RunRoundFrame(g_hWnd);
    }
    // The first missile comes at 6 s and flies 10 s; it was still live as this frame began.
    ASSERT_TRUE(g_resultActive);
    EXPECT_TRUE(missileLive);
    EXPECT_NEAR(16.0f, g_elapsed, 0.2f);
    // The end of the round takes every enemy and the shot out of the scene.
    for (int i = 0; i < ENEMY_SLOT_COUNT; i++)
        EXPECT_EQ(0, TestFrameVisualCount(g_frames[SLOT_ENEMY_BASE + i])) << i;
    EXPECT_EQ(0, TestFrameVisualCount(g_frames[SLOT_CANNON]));
    int32_t cursor = g_scheduleCursor;
    for (int frame = 0; frame < 50; frame++)
        RunRoundFrame(g_hWnd);
    EXPECT_EQ(cursor, g_scheduleCursor); // with the clock stopped no later row comes
}

TEST(GameRound, PhasesFromTitleThroughPlayAndResultBackToTitle)
{
    int playFrame = -1, resultFrame = -1, titleFrame = -1;
    GameScript script;
    script.frameMs = 50;
    script.onFrame = [&](int frame, GameScript&) {
        if (frame == 1) {
            EXPECT_TRUE(g_titleActive && !g_playing && g_mouseX == 320 && g_mouseY == 240 && g_timeLeft == 180);
        }
        TestSetMouseButton(VK_LBUTTON, frame >= 3 && playFrame < 0);
        if (playFrame < 0 && g_worldActive)
            playFrame = frame;
        if (resultFrame < 0 && g_resultActive) // nobody shoots: the first missile ends the round
            resultFrame = frame;
        if (resultFrame > 0 && titleFrame < 0) {
            TestSetMouseButton(VK_RBUTTON, (frame - resultFrame) % 10 >= 2 && (frame - resultFrame) % 10 < 5);
            if (g_titleActive)
                titleFrame = frame;
        }
        if (titleFrame > 0 && frame == titleFrame + 3)
            TestPressKey(VK_ESCAPE);
    };
    EXPECT_EQ(1, RunGame(script));
    EXPECT_EQ(5, playFrame); // pressed at the poll of frame 4, held at frame 5
    EXPECT_GT(resultFrame, playFrame + 300);
    EXPECT_EQ(resultFrame + 17, titleFrame); // two held presses, each turning a page two polls after release
}

class GameEscape : public ::testing::TestWithParam<bool> { };

TEST_P(GameEscape, EndsTheProgramInPlayAndOnTheResultScreen)
{
    bool onResult = GetParam();
    bool pressed = false;
    GameScript script;
    script.frameMs = 100;
    script.onFrame = [&](int frame, GameScript&) {
        TestSetMouseButton(VK_LBUTTON, frame >= 2 && frame < 6);
        if (!pressed && (onResult ? g_resultActive : frame == 60 && g_worldActive)) {
            pressed = true;
            TestPressKey(VK_ESCAPE);
        }
    };
    EXPECT_EQ(1, RunGame(script));
    EXPECT_TRUE(pressed);
}
INSTANTIATE_TEST_SUITE_P(Phases, GameEscape, ::testing::Bool());

// However the title comes back after a round (the left button held from turning the last page,
// pressed on the title's first frame only, or up) and however that round ended, the next round
// starts freshly set up, or the title waits; the old round never comes back.
struct BackToTitle {
    const char* name;
    bool missileEnds; // otherwise the clock runs out
    int leftButton;   // 2 held into the title, 1 pressed for its first frame only, 0 up
};

void PrintTo(const BackToTitle& c, std::ostream* out)
{
    *out << c.name;
}

class GameBackToTitle : public ::testing::TestWithParam<BackToTitle> { };

TEST_P(GameBackToTitle, StartsTheNextRoundFreshOrWaits)
{
    const BackToTitle& c = GetParam();
    int playFrame = -1, resultFrame = -1, titleFrame = -1, nextPlayFrame = -1;
    bool resultAgain = false;
    float nextTimeLeft = 0, nextElapsed = 0;
    int32_t nextScore = -1, nextKills = -1, nextCursor = -1, nextAlive = -1;
    GameScript script;
    script.frameMs = 50;
    script.maxFrames = 3000;
    script.onFrame = [&](int frame, GameScript& s) {
        s.frameMs = 50;
        if (playFrame < 0) {
            TestSetMouseButton(VK_LBUTTON, frame >= 2);
            if (g_worldActive) {
                playFrame = frame;
                TestSetMouseButton(VK_LBUTTON, false);
            }
        } else if (resultFrame < 0) {
            if (g_resultActive) {
                resultFrame = frame;
            } else if (!c.missileEnds) {
                for (EnemySlot& e : g_enemySlots)
                    e.alive = e.alive && e.kind != Missile;
                if (frame == playFrame + 5)
                    s.frameMs = 190000; // the clock runs out in one long frame
            }
        } else if (titleFrame < 0) {
            TestSetMouseButton(VK_RBUTTON, (frame - resultFrame) % 10 >= 2 && (frame - resultFrame) % 10 < 5);
            TestSetMouseButton(VK_LBUTTON, c.leftButton == 2);
            if (g_titleActive) {
                titleFrame = frame;
                TestSetMouseButton(VK_RBUTTON, false);
                TestSetMouseButton(VK_LBUTTON, c.leftButton > 0);
            }
        } else {
            if (c.leftButton == 1)
                TestSetMouseButton(VK_LBUTTON, false);
            resultAgain = resultAgain || g_resultActive;
            if (nextPlayFrame < 0 && g_worldActive) {
                nextPlayFrame = frame;
                nextTimeLeft = g_timeLeft;
                nextElapsed = g_elapsed;
                nextScore = g_score;
                nextKills = g_meteorsDestroyed + g_ufosDestroyed + g_missilesDestroyed;
                nextCursor = g_scheduleCursor;
                nextAlive = 0;
                for (const EnemySlot& e : g_enemySlots)
                    nextAlive += e.alive;
            }
            if (frame == titleFrame + 20)
                TestPressKey(VK_ESCAPE);
        }
    };
    EXPECT_EQ(1, RunGame(script));
    ASSERT_GT(titleFrame, 0);
    EXPECT_FALSE(resultAgain);
    if (c.leftButton == 0) {
        EXPECT_EQ(-1, nextPlayFrame);
        EXPECT_TRUE(g_titleActive);
        return;
    }
    // Held or pressed on the title's first frame: the round starts at once, from its beginning.
    EXPECT_EQ(titleFrame + 1, nextPlayFrame);
    EXPECT_FLOAT_EQ(0.05f, nextElapsed);
    EXPECT_FLOAT_EQ(ROUND_SECONDS - 0.05f, nextTimeLeft);
    EXPECT_EQ(0, nextScore);
    EXPECT_EQ(0, nextKills);
    EXPECT_EQ(0, nextCursor);
    EXPECT_EQ(0, nextAlive);
}

INSTANTIATE_TEST_SUITE_P(
    Rounds, GameBackToTitle,
    ::testing::Values(BackToTitle{"ClockEndedHeld", false, 2}, BackToTitle{"ClockEndedOneFrame", false, 1},
                      BackToTitle{"ClockEndedUp", false, 0}, BackToTitle{"MissileEndedHeld", true, 2},
                      BackToTitle{"MissileEndedOneFrame", true, 1}, BackToTitle{"MissileEndedUp", true, 0}),
    [](const ::testing::TestParamInfo<BackToTitle>& info) { return std::string(info.param.name); });
