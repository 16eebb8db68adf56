// A scripted player through a whole round: it aims at live enemies through their projected
// positions, missiles first, and holds the button. Every kill must add up, the tally must follow
// from the counters, and the next round must start clean with the best kept.
#include "game_support.h"
#include "harness.h"

#include "game/screens.h"

#include <gtest/gtest.h>

// The lock point of the most urgent enemy in reach; false when there is none.
static bool ChooseAim(int& mouseX, int& mouseY)
{
    int bestRank = -1;
    for (int i = ENEMY_SLOT_COUNT - 1; i >= 0; i--) {
        D3DVECTOR p;
        D3DRMVECTOR4D q;
        g_frames[SLOT_ENEMY_BASE + i]->GetPosition(g_scene, &p);
        g_viewport->Transform(&q, &p);
        if (!g_enemySlots[i].alive || q.w <= 0 || p.x < 3 || p.x > 150)
            continue;
        int sx = static_cast<int>(q.x / q.w);
        int sy = static_cast<int>(q.y / q.w);
        int rank = (g_enemySlots[i].kind == Missile ? 100 : 50) - i;
        if (sx >= 0 && sx < 640 && sy >= 0 && sy < 480 && rank > bestRank) {
            bestRank = rank;
            mouseX = sx - 4;
            mouseY = sy - 4;
        }
    }
    return bestRank >= 0;
}

TEST(GamePlayer, WholeRoundAddsUpAndTheNextStartsClean)
{
    bool alive[ENEMY_SLOT_COUNT] = {};
    int kills[3] = {};
    int expectedScore = 0;
    int round = 0, resultFrame = 0, playFrame = 0;
    float endElapsed = 0;
    int32_t best = -1;
    auto countKills = [&]() {
        for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
            const EnemySlot& e = g_enemySlots[i];
            if (alive[i] && !e.alive && e.exploding) {
                kills[e.kind]++;
                float x = e.position.x;
                expectedScore += e.kind == Meteor ? static_cast<int>((150.0f - x) * 100.0f / 150.0f)
                    : e.kind == Ufo               ? static_cast<int>((150.0f - x) * 300.0f / 150.0f)
                                                  : 700;
            }
            alive[i] = e.alive;
        }
    };

    GameScript script;
    script.frameMs = 40;
    script.onFrame = [&](int frame, GameScript&) {
        TestSetMouseButton(VK_LBUTTON, g_titleActive || g_worldActive);
        if (round == 0 && g_worldActive) {
            countKills();
            EXPECT_EQ(expectedScore, g_score) << "frame " << frame;
            int mx, my;
            if (ChooseAim(mx, my))
                TestMoveMouse(mx, my);
        } else if (round == 0 && g_resultActive) {
            countKills(); // the last frame of play still shoots
            round = 1;
            resultFrame = frame;
            endElapsed = g_elapsed;
            EXPECT_EQ(expectedScore, g_score);
            EXPECT_TRUE(kills[Meteor] == g_meteorsDestroyed && kills[Ufo] == g_ufosDestroyed &&
                        kills[Missile] == g_missilesDestroyed);
            float bonus =
                kills[Meteor] / 121.0f * 3000.0f + kills[Ufo] / 93.0f * 3000.0f + kills[Missile] / 37.0f * 3000.0f;
            best = static_cast<int32_t>(g_score + bonus);
            EXPECT_EQ(best, g_hiScore);
        }
        if (round == 1) // through both pages with long presses
            TestSetMouseButton(VK_RBUTTON, (frame - resultFrame) % 8 >= 1 && (frame - resultFrame) % 8 < 4);
        if (round == 1 && g_worldActive) {
            round = 2;
            playFrame = frame;
        } else if (round == 2 && frame == playFrame + 1) {
            // The second frame of play set the round up afresh; only the best remains.
            EXPECT_TRUE(g_score == 0 && g_meteorsDestroyed + g_ufosDestroyed + g_missilesDestroyed == 0);
            EXPECT_TRUE(g_scheduleCursor == 0 && g_elapsed < 0.05f && g_hiScore == best);
            for (const EnemySlot& e : g_enemySlots)
                EXPECT_FALSE(e.alive || e.exploding);
            TestPressKey(VK_ESCAPE);
        }
    };
    EXPECT_EQ(1, RunGame(script));
    EXPECT_EQ(2, round);
    // Every missile was stopped, so the clock ran out; and there was plenty to shoot.
    EXPECT_GE(endElapsed, ROUND_SECONDS);
    EXPECT_EQ(37, kills[Missile]);
    EXPECT_GT(kills[Meteor] + kills[Ufo], 100);
}
