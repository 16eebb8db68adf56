// A scripted player through a whole round: it aims at live enemies through their projected
// positions and holds the button; every kill must add up, and the next round starts clean.
#include "game_support.h"
#include "harness.h"

#include "game/round.h"
#include "game/screens.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Where the player points: the lock point of the most urgent enemy it can reach, missiles first.
bool ChooseAim(int& mouseX, int& mouseY)
{
    int bestRank = 1 << 30;
    for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
        const EnemySlot& e = g_enemySlots[i];
        if (!e.alive)
            continue;
        D3DVECTOR position;
        D3DRMVECTOR4D projected;
        g_frames[SLOT_ENEMY_BASE + i]->GetPosition(g_scene, &position);
        g_viewport->Transform(&projected, &position);
        if (projected.w <= 0.0f || position.x < 3.0f || position.x > 150.0f)
            continue;
        float sx = projected.x / projected.w;
        float sy = projected.y / projected.w;
        if (sx < 0 || sx >= 640 || sy < 0 || sy >= 480)
            continue;
        int rank = (e.kind == Missile ? 0 : 1000) + i;
        if (rank < bestRank) {
            bestRank = rank;
            mouseX = static_cast<int>(sx) - 4;
            mouseY = static_cast<int>(sy) - 4;
        }
    }
    return bestRank < (1 << 30);
}

int KillScore(const EnemySlot& e)
{
    float x = e.position.x;
    if (e.kind == Meteor)
        return static_cast<int>((150.0f - x) * 100.0f / 150.0f);
    if (e.kind == Ufo)
        return static_cast<int>((150.0f - x) * 300.0f / 150.0f);
    return 700;
}

} // namespace

TEST(GamePlayer, WholeRoundAddsUpAndTheNextStartsClean)
{
    bool alive[ENEMY_SLOT_COUNT] = {};
    int kills[3] = {};
    int expectedScore = 0;
    int round = 0;
    int resultFrame = -1;
    int secondPlayFrame = -1;
    float roundEndElapsed = 0.0f;
    int32_t best = -1;

    GameScript script;
    script.frameMs = 33;
    script.maxFrames = 12000;
    script.onFrame = [&](int frame, GameScript&) {
        if (g_titleActive) {
            TestSetMouseButton(VK_RBUTTON, false);
            TestSetMouseButton(VK_LBUTTON, true);
            return;
        }
        if (g_worldActive && round == 0) {
            // Kills since the last frame, each matched to an enemy that went down exploding.
            for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
                const EnemySlot& e = g_enemySlots[i];
                if (alive[i] && !e.alive && e.exploding) {
                    kills[e.kind]++;
                    expectedScore += KillScore(e);
                }
                alive[i] = e.alive;
            }
            EXPECT_EQ(expectedScore, g_score) << "frame " << frame;
            int mx = 320;
            int my = 240;
            if (ChooseAim(mx, my))
                TestMoveMouse(mx, my);
            TestSetMouseButton(VK_LBUTTON, true);
        }
        if (g_resultActive && round == 0) {
            round = 1;
            resultFrame = frame;
            roundEndElapsed = g_elapsed;
            for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
                const EnemySlot& e = g_enemySlots[i];
                if (alive[i] && !e.alive && e.exploding) {
                    kills[e.kind]++;
                    expectedScore += KillScore(e);
                }
            }
            EXPECT_EQ(expectedScore, g_score);
            EXPECT_EQ(kills[Meteor], g_meteorsDestroyed);
            EXPECT_EQ(kills[Ufo], g_ufosDestroyed);
            EXPECT_EQ(kills[Missile], g_missilesDestroyed);
            float bonus = static_cast<float>(kills[Meteor]) / 121.0f * 3000.0f +
                          static_cast<float>(kills[Ufo]) / 93.0f * 3000.0f +
                          static_cast<float>(kills[Missile]) / 37.0f * 3000.0f;
            best = static_cast<int32_t>(g_score + bonus);
            EXPECT_EQ(best, g_hiScore);
            TestSetMouseButton(VK_LBUTTON, false);
        }
        if (round == 1 && g_resultActive) {
            // Through both pages with long presses.
            int step = (frame - resultFrame) % 8;
            TestSetMouseButton(VK_RBUTTON, step >= 1 && step < 4);
        }
        if (round == 1 && g_worldActive) {
            round = 2;
            secondPlayFrame = frame;
        }
        if (round == 2 && frame == secondPlayFrame + 1) {
            // The second frame of play has set the round up afresh; only the best remains.
            EXPECT_EQ(0, g_score);
            EXPECT_EQ(0, g_meteorsDestroyed + g_ufosDestroyed + g_missilesDestroyed);
            EXPECT_EQ(0, g_scheduleCursor);
            EXPECT_LE(g_elapsed, 0.034f);
            for (const EnemySlot& e : g_enemySlots)
                EXPECT_FALSE(e.alive || e.exploding);
            EXPECT_EQ(best, g_hiScore);
            TestPressKey(VK_ESCAPE);
        }
    };
    EXPECT_EQ(1, RunGame(script));
    EXPECT_GE(round, 2);
    // Every missile was stopped, so the clock ran out, and the player had plenty to shoot.
    EXPECT_GE(roundEndElapsed, ROUND_SECONDS);
    EXPECT_EQ(37, kills[Missile]);
    EXPECT_GT(kills[Meteor] + kills[Ufo], 100);
}
