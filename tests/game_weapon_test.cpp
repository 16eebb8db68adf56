// Shots: one at a time, fired continuously while the button is held, hitting whatever is under
// the crosshair when they arrive, and gone after 0.8 s when they find nothing.
#include "game_support.h"

#include "display/sprites.h"
#include "game/round.h"
#include "testing.h"

#include <gtest/gtest.h>

namespace {

struct Fire {
    int32_t score = 0;
    int32_t kills[3] = {};
    D3DRMVECTOR4D projected = {640.0f, 480.0f, 0.5f, 2.0f};
    D3DVECTOR position = {0, 0, 0};

    // One weapon step against slot `target` (-1 for none), as the round driver makes it.
    bool Step(int32_t target)
    {
        if (target >= 0)
            position = g_enemySlots[target].position;
        EnemySlot* record = target >= 0 ? &g_enemySlots[target] : nullptr;
        return FireWeapon(target, projected, record, score, position, 120.0f, kills[Meteor], kills[Ufo],
                          kills[Missile]);
    }
};

} // namespace

TEST_F(GameScene, ShotWithNoTargetExpiresAfterItsLifetime)
{
    g_frameDelta = 0.125f;
    Fire fire;
    int steps = 0;
    while (fire.Step(-1))
        steps++;
    // Seven steps of 0.125 s take the 0.8 s lifetime below zero; the eighth call ends the shot.
    EXPECT_EQ(7, steps);
    EXPECT_TRUE(g_weaponReady);
    EXPECT_EQ(0.0f, g_shotProgress);
    EXPECT_FLOAT_EQ(0.8f, g_shotLifetime);
    EXPECT_EQ(0, fire.score);
}

TEST_F(GameScene, HitGoesToWhateverIsUnderTheCrosshairWhenTheShotArrives)
{
    PlaceEnemy(2, Ufo, 40, 0, 0);   // 10 units from the shot's origin at (30, 0, 0)
    PlaceEnemy(5, Meteor, 60, 0, 0);
    g_frameDelta = 0.02f;            // 4 units a step
    Fire fire;
    EXPECT_TRUE(fire.Step(2));       // launched at the UFO: 0 of 10
    EXPECT_TRUE(fire.Step(2));       // 4
    EXPECT_TRUE(fire.Step(2));       // 8
    EXPECT_FALSE(fire.Step(5));      // 12 >= 10: the meteor under the crosshair now takes it
    EXPECT_EQ(3, g_enemySlots[2].hitPoints);
    EXPECT_TRUE(g_enemySlots[2].alive);
    EXPECT_FALSE(g_enemySlots[5].alive);
    EXPECT_EQ(1, fire.kills[Meteor]);
    EXPECT_EQ(60, fire.score);       // (150 - 60) * 100 / 150

    // A hit that does not destroy draws the spark, scores nothing and frees the weapon.
    ClearBackBuffer();
    g_frameDelta = 0.1f;
    EXPECT_TRUE(fire.Step(2));
    EXPECT_FALSE(fire.Step(2));
    EXPECT_EQ(2, g_enemySlots[2].hitPoints);
    EXPECT_TRUE(g_enemySlots[2].alive);
    EXPECT_EQ(60, fire.score);
    EXPECT_TRUE(g_weaponReady);
    // The spark of an enemy at x 40 sits 11 pixels up and left of its screen point (320, 240).
    EXPECT_TRUE(BackBufferShowsCell(309, 229, SPR_SPARK, 0, 0, 30, 30));
}

TEST_F(GameScene, HoldingTheButtonFiresContinuously)
{
    g_scheduleCursor = 251 * SPAWN_ROW_VALUES; // an empty sky
    g_frameDelta = 0.125f;
    TestSetMouseButton(VK_LBUTTON, true);
    RunRoundFrame(g_hWnd); // pressed: nothing yet
    EXPECT_FALSE(g_shotInFlight);
    int launches = 0;
    for (int frame = 0; frame < 30; frame++) {
        RunRoundFrame(g_hWnd);
        // Every shot that ends is followed by the next in the same frame.
        EXPECT_TRUE(g_shotInFlight) << frame;
        launches += g_shotProgress == 25.0f; // one step out from the satellite
    }
    // A shot flies seven frames of 0.125 s; the eighth ends it and launches the next.
    EXPECT_EQ(5, launches);

    TestSetMouseButton(VK_LBUTTON, false);
    int frames = 0;
    while (g_shotInFlight && frames < 20) {
        RunRoundFrame(g_hWnd);
        frames++;
    }
    EXPECT_FALSE(g_shotInFlight);
    EXPECT_LE(frames, 8);
}
