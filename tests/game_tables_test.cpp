// The game's fixed tables as the player sees them: the timetable, lock windows and crosshair
// cells, kill scores, sparks, explosion cells, the HUD and the tally.
#include "game_support.h"

#include "display/display.h"
#include "display/sprites.h"
#include "game/effects.h"
#include "game/enemies.h"
#include "game/round.h"
#include "game/screens.h"
#include "game/weapon.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"
#include "testing.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(GameTimetable, SendsTheRoundsEnemiesInOrder)
{
    int perKind[3] = {};
    for (int row = 0; row < 251; row++) {
        const double* r = &g_spawnSchedule[row * SPAWN_ROW_VALUES];
        ASSERT_TRUE(r[5] == 0 || r[5] == 1 || r[5] == 2) << "row " << row;
        perKind[static_cast<int>(r[5])]++;
        // Only rows 100 and 181 come earlier than the row before them.
        if (row > 0 && row != 100 && row != 181) {
            EXPECT_GE(r[0], r[-6]) << "row " << row;
        }
    }
    EXPECT_EQ(121, perKind[Meteor]);
    EXPECT_EQ(93, perKind[Ufo]);
    EXPECT_EQ(37, perKind[Missile]);
    EXPECT_LT(g_spawnSchedule[100 * 6], g_spawnSchedule[99 * 6]);
    EXPECT_LT(g_spawnSchedule[181 * 6], g_spawnSchedule[180 * 6]);
    EXPECT_EQ(171.1, g_spawnSchedule[250 * 6]);
    EXPECT_EQ(181.0, g_spawnSchedule[251 * 6]);
    for (int i = 251 * 6 + 1; i < SPAWN_SCHEDULE_VALUES; i++)
        ASSERT_EQ(0.0, g_spawnSchedule[i]) << "value " << i;
}

TEST(GameSpawn, FillsTheSlotFromOneRowAndNeverReadsPastTheTable)
{
    EnemySlot slots[ENEMY_SLOT_COUNT] = {};
    slots[4].wobblePhase = 33.0f;
    slots[4].exploding = true;
    slots[4].impactCountdown = 5.0f;
    slots[4].hitPoints = 2;
    int32_t cursor = 0;
    SpawnEnemy(slots, g_spawnSchedule, cursor, 4);
    EXPECT_EQ(6, cursor);
    const EnemySlot& e = slots[4];
    EXPECT_EQ(0.0f, e.position.x);
    EXPECT_EQ(30.0f, e.position.y);
    EXPECT_EQ(3.0f, e.position.z);
    EXPECT_EQ(10.0f, e.spinRate);
    EXPECT_EQ(Meteor, e.kind);
    EXPECT_TRUE(e.alive && e.needsSetup && !e.exploding);
    EXPECT_EQ(12.0f, e.explosionCountdown);
    EXPECT_EQ(0.0f, e.impactCountdown);
    EXPECT_EQ(33.0f, e.wobblePhase); // a UFO here would wobble on from the last one's phase
    EXPECT_EQ(2, e.hitPoints);

    // The last whole row ends two values short of the end; after it nothing more is consumed.
    cursor = SPAWN_SCHEDULE_VALUES - 8;
    SpawnEnemy(slots, g_spawnSchedule, cursor, 5);
    EXPECT_EQ(SPAWN_SCHEDULE_VALUES - 2, cursor);
    slots[6] = EnemySlot{};
    SpawnEnemy(slots, g_spawnSchedule, cursor, 6);
    EXPECT_EQ(SPAWN_SCHEDULE_VALUES - 2, cursor);
    EXPECT_FALSE(slots[6].alive);
}

TEST_F(GameScene, LockWindowShrinksAndCrosshairCellGrowsWithDistance)
{
    struct Case {
        float x;
        int cell;
        int half;
    } cases[] = {{12.5f, 1, 30}, {50, 8, 24}, {100, 16, 16}, {130, 20, 11}, {193.9f, 30, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        std::memset(g_enemySlots, 0, sizeof g_enemySlots);
        PlaceEnemy(0, Meteor, c.x, 3, 2);
        int px;
        int py;
        ScreenPoint(c.x, 3, 2, px, py);
        int sx = px - 4;
        int sy = py - 4;
        auto lockedAt = [&](int mx, int my) {
            g_mouseX = mx;
            g_mouseY = my;
            return Pick() == 0;
        };
        EXPECT_TRUE(lockedAt(sx, sy));
        EXPECT_TRUE(lockedAt(sx + c.half - 1, sy - c.half + 1));
        EXPECT_FALSE(lockedAt(sx + c.half, sy));
        EXPECT_FALSE(lockedAt(sx - c.half, sy));
        EXPECT_FALSE(lockedAt(sx, sy + c.half));
        EXPECT_FALSE(lockedAt(sx, sy - c.half));
    }

    // Beyond x 194 nothing locks, not even on the very point.
    std::memset(g_enemySlots, 0, sizeof g_enemySlots);
    PlaceEnemy(0, Missile, 194, 3, 2);
    int px;
    int py;
    ScreenPoint(194, 3, 2, px, py);
    g_mouseX = px - 4;
    g_mouseY = py - 4;
    EXPECT_EQ(-1, Pick());

    // The locked cell is drawn with its corner on the lock point.
    for (float x : {12.5f, 50.0f}) {
        std::memset(g_enemySlots, 0, sizeof g_enemySlots);
        PlaceEnemy(0, Meteor, x, 3, 2);
        ScreenPoint(x, 3, 2, px, py);
        g_mouseX = px - 4;
        g_mouseY = py - 4;
        ClearBackBuffer();
        ASSERT_EQ(0, Pick());
        int cell = x < 20 ? 1 : 8;
        EXPECT_TRUE(BackBufferShowsCell(px - 4, py - 4, SPR_CROSSHAIR, 24 * cell, 24, 24 * cell + 24, 48)) << x;
    }
}

TEST_F(GameScene, PickPrefersTheLowerSlotAndNeverLocksAtOrBehindTheCamera)
{
    PlaceEnemy(7, Ufo, 60, 4, 1);
    PlaceEnemy(3, Meteor, 60, 4, 1);
    int px;
    int py;
    ScreenPoint(60, 4, 1, px, py);
    g_mouseX = px - 4;
    g_mouseY = py - 4;
    EXPECT_EQ(3, Pick());

    // Enemies start on the camera's own plane; one there or behind it has no screen point.
    std::memset(g_enemySlots, 0, sizeof g_enemySlots);
    PlaceEnemy(0, Meteor, 0, 30, 3);
    PlaceEnemy(1, Meteor, 0, 0, 0);
    PlaceEnemy(2, Ufo, -5, 2, 1);
    PlaceEnemy(3, Missile, 1e-30f, 1, 1);
    for (int m : {0, 236, 316, 400}) {
        g_mouseX = m;
        g_mouseY = m / 2;
        ClearBackBuffer();
        EXPECT_EQ(-1, Pick()) << m;
        EXPECT_TRUE(BackBufferShowsCell(m, m / 2, SPR_CROSSHAIR, 0, 0, 16, 16)) << m;
    }
}

TEST_F(GameScene, KillScoresByKindAndDistance)
{
    struct Case {
        EnemyKind kind;
        float x;
        int score;
    } cases[] = {{Meteor, -20, 113}, {Meteor, 0, 100}, {Meteor, 45.5f, 69}, {Meteor, 100, 33},
                 {Meteor, 130, 13},  {Ufo, -20, 340},   {Ufo, 0, 300},      {Ufo, 45.5f, 209},
                 {Ufo, 100, 100},    {Ufo, 130, 40},    {Missile, 5, 700},  {Missile, 250, 700}};
    int32_t counts[3] = {};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << " at " << c.x);
        PlaceEnemy(2, c.kind, c.x, 1, 1);
        g_enemySlots[2].hitPoints = 1;
        g_enemySlots[2].velocity = {5, 5, 5};
        g_weaponReady = false; // a shot already at its target
        g_shotDistance = 0.0f;
        g_shotProgress = 0.0f;
        int32_t target = 2;
        int32_t score = 1000;
        D3DRMVECTOR4D projected = {600.0f, 300.0f, 0.5f, 2.0f};
        D3DVECTOR position = {c.x, 1, 1};
        EXPECT_FALSE(FireWeapon(target, projected, &g_enemySlots[2], score, position, 100.0f, counts[Meteor],
                                counts[Ufo], counts[Missile]));
        EXPECT_EQ(1000 + c.score, score);
        const EnemySlot& e = g_enemySlots[2];
        EXPECT_TRUE(!e.alive && e.exploding);
        EXPECT_EQ(300, e.explosionX);
        EXPECT_EQ(150, e.explosionY);
        EXPECT_EQ(0.0f, e.velocity.x);
        EXPECT_EQ(5.0f, e.velocity.y);
        EXPECT_TRUE(g_weaponReady);
    }
    EXPECT_EQ(5, counts[Meteor]);
    EXPECT_EQ(5, counts[Ufo]);
    EXPECT_EQ(2, counts[Missile]);
}

TEST_F(GameScene, SparkSitsFurtherUpAndLeftForNearerEnemies)
{
    struct Case {
        float x;
        int k;
    } cases[] = {{-20, 17}, {0, 15}, {50, 10}, {100, 5}, {110, 4}, {130, 2}};
    for (const Case& c : cases) {
        ClearBackBuffer();
        D3DRMVECTOR4D projected = {640.0f, 480.0f, 0.5f, 2.0f};
        D3DVECTOR position = {c.x, 0, 0};
        DrawSpark(projected, position);
        EXPECT_TRUE(BackBufferShowsCell(320 - c.k, 240 - c.k, SPR_SPARK, 0, 0, 30, 30)) << c.x;
    }
    // No spark for a point with no screen position.
    ClearBackBuffer();
    for (float w : {0.0f, -2.0f, 1e-30f}) {
        D3DRMVECTOR4D projected = {640.0f, 480.0f, 0.5f, w};
        D3DVECTOR position = {0, 0, 0};
        DrawSpark(projected, position);
    }
    EXPECT_EQ(0, CountBackBufferPixelsNot(0, 0, 0, 640, 480));
}

TEST_F(GameScene, DebrisExplosionSizeFromDistanceAndCellFromCountdown)
{
    struct Case {
        float x;
        float countdown;
        int sizeClass;
        int cell;
    } cases[] = {{100, 12, 0, 0}, {100, 11.5f, 0, 1}, {100, 0.5f, 0, 12}, {100, -0.5f, 0, 12},
                 {50, 12, 1, 0},  {50, 11.5f, 1, 1},  {30, 12, 2, 0},     {0, 11, 3, 1}};
    g_frameDelta = 0.05f;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << " / " << c.countdown);
        ClearBackBuffer();
        EnemySlot e = {};
        e.position.x = c.x;
        e.exploding = true;
        e.explosionCountdown = c.countdown;
        e.explosionX = 300;
        e.explosionY = 250;
        DrawEnemyExplosion(e);
        int s = 48 * (c.sizeClass + 1);
        int d = 32 * c.sizeClass;
        if (s * c.cell + s <= g_spriteSheets[c.sizeClass].width) {
            EXPECT_TRUE(BackBufferShowsCell(300 - d, 250 - d, SPR_EXPLOSION0 + c.sizeClass, s * c.cell, 0,
                                            s * c.cell + s, s));
        }
        EXPECT_FLOAT_EQ(c.countdown - 1.0f, e.explosionCountdown);
    }

    // Past the sheet, and outside the four size classes, nothing shows; the countdown runs on.
    for (float x : {100.0f, 160.0f, -40.0f}) {
        ClearBackBuffer();
        EnemySlot e = {};
        e.position.x = x;
        e.explosionCountdown = x == 100.0f ? -1.5f : 12.0f;
        e.explosionX = 300;
        e.explosionY = 250;
        DrawEnemyExplosion(e);
        EXPECT_EQ(0, CountBackBufferPixelsNot(0, 0, 0, 640, 480)) << x;
        EXPECT_LT(e.explosionCountdown, x == 100.0f ? -1.5f : 12.0f);
    }
}

TEST_F(GameScene, EarthImpactDrawsOnTheEarthOnlyWhenItIsInView)
{
    int px;
    int py;
    ScreenPoint(g_earthPosition.x, g_earthPosition.y, g_earthPosition.z, px, py);
    g_frameDelta = 0.1f;
    EnemySlot e = {};
    e.impactCountdown = 16.0f;
    DrawEarthImpact(e);
    EXPECT_TRUE(BackBufferShowsCell(px, py, SPR_EARTH_EXPLOSION, 0, 0, 96, 96));
    EXPECT_FLOAT_EQ(14.0f, e.impactCountdown); // two cells on in a tenth of a second
    ClearBackBuffer();
    DrawEarthImpact(e);
    EXPECT_TRUE(BackBufferShowsCell(px, py, SPR_EARTH_EXPLOSION, 192, 0, 288, 96));

    ClearBackBuffer();
    g_earthPosition = {-50.0f, 3.0f, 1.0f};
    DrawEarthImpact(e);
    EXPECT_EQ(0, CountBackBufferPixelsNot(0, 0, 0, 640, 480));
    EXPECT_FLOAT_EQ(10.0f, e.impactCountdown);
}

TEST_F(GameScene, HudShowsScoreBestAndSecondsRoundedUp)
{
    g_score = 250;
    g_hiScore = 1234;
    g_timeLeft = 45.2f;
    g_elapsed = ROUND_SECONDS - g_timeLeft;
    g_frameDelta = 0.0f;
    g_scheduleCursor = 251 * SPAWN_ROW_VALUES; // nothing falls due
    ClearBackBuffer();
    RunRoundFrame(g_hWnd);
    EXPECT_TRUE(BackBufferShowsNumber("00250", 400, 5));
    EXPECT_TRUE(BackBufferShowsNumber("01234", 196, 5));
    // The time label lies over the digits, which show through its black pixels.
    Canvas expected;
    expected.Number("046", 340, 450);
    expected.Blit(170, 450, SPR_TIME_LABEL, 0, 0, 250, 20);
    EXPECT_TRUE(expected.Matches(340, 450, 388, 470));
}

// The tally of the result page for the given kills; the best as it stands afterwards.
static int32_t ShowTally(int32_t meteors, int32_t ufos, int32_t missiles, int32_t score, int32_t best)
{
    bool title = false;
    bool playing = true;
    bool world = false;
    bool result = true;
    ClearBackBuffer();
    RunResultScreen(title, playing, world, result, meteors, ufos, missiles, score, best);
    return best;
}

TEST_F(GameScene, TallyShowsRatesBonusesAndTotals)
{
    ShowTally(121, 93, 37, 0, 0);
    for (int y : {100, 130, 160}) {
        EXPECT_TRUE(BackBufferShowsNumber("100", 230, y)) << y;
        EXPECT_TRUE(BackBufferShowsNumber("3000", 362, y)) << y;
        EXPECT_TRUE(BackBufferShowsNumber("3000", 462, y)) << y;
    }
    EXPECT_TRUE(BackBufferShowsNumber("9000", 462, 190));
    EXPECT_TRUE(BackBufferShowsNumber("00000", 140, 255));
    EXPECT_TRUE(BackBufferShowsNumber("9000", 270, 255));
    EXPECT_TRUE(BackBufferShowsNumber("09000", 430, 255));

    // 60 of 121, 31 of 93, 1 of 37: the total comes from the unrounded bonuses.
    EXPECT_EQ(2818, ShowTally(60, 31, 1, 250, 0));
    EXPECT_TRUE(BackBufferShowsNumber("049", 230, 100));
    EXPECT_TRUE(BackBufferShowsNumber("1487", 462, 100));
    EXPECT_TRUE(BackBufferShowsNumber("033", 230, 130));
    EXPECT_TRUE(BackBufferShowsNumber("1000", 462, 130));
    EXPECT_TRUE(BackBufferShowsNumber("002", 230, 160));
    EXPECT_TRUE(BackBufferShowsNumber("0081", 462, 160));
    EXPECT_TRUE(BackBufferShowsNumber("2568", 462, 190));
    EXPECT_TRUE(BackBufferShowsNumber("02818", 430, 255));
}

TEST_F(GameScene, TallyKeepsTheBestAndMarksANewOne)
{
    // 250 and one missile: 331.08 in all.
    EXPECT_EQ(331, ShowTally(0, 0, 1, 250, 331));
    EXPECT_TRUE(BackBufferShowsNumber("00331", 430, 255));
    EXPECT_TRUE(BackBufferShowsCell(240, 300, SPR_HISCORE_LABEL, 0, 0, 128, 20));
    EXPECT_EQ(331, ShowTally(0, 0, 1, 250, 100));
    EXPECT_TRUE(BackBufferShowsCell(240, 300, SPR_HISCORE_LABEL, 0, 0, 128, 20));
    EXPECT_EQ(332, ShowTally(0, 0, 1, 250, 332));
    EXPECT_EQ(0, CountBackBufferPixelsNot(0, 240, 300, 386, 320));
    EXPECT_TRUE(BackBufferShowsNumber("00331", 430, 255));
}

TEST_F(GameScene, ResultPagesTurnOnlyOnAPressHeldForTwoPolls)
{
    bool title = false;
    bool playing = true;
    bool world = true;
    bool result = true;
    int32_t best = 0;
    auto poll = [&](bool down) {
        TestSetMouseButton(VK_RBUTTON, down);
        RunResultScreen(title, playing, world, result, 0, 0, 0, 0, best);
        return g_resultPage;
    };
    EXPECT_EQ(0, poll(false));
    EXPECT_FALSE(world);
    // Seen down at one poll only: ignored.
    EXPECT_EQ(0, poll(true));
    EXPECT_EQ(0, poll(false));
    EXPECT_EQ(0, poll(false));
    // Held, then let go: the page turns on the second poll after the release.
    EXPECT_EQ(0, poll(true));
    EXPECT_EQ(0, poll(true));
    EXPECT_EQ(0, poll(true));
    EXPECT_EQ(0, poll(false));
    EXPECT_EQ(1, poll(false));
    EXPECT_EQ(1, poll(false));
    EXPECT_TRUE(result && playing && !title);
    // The next one leads back to the title and moves the scenery out of the way.
    poll(true);
    poll(true);
    poll(false);
    EXPECT_EQ(0, poll(false));
    EXPECT_TRUE(title && !playing && !world && !result);
    for (int slot : {SLOT_EARTH, SLOT_SATELLITE, SLOT_SKY}) {
        D3DVECTOR p;
        g_frames[slot]->GetPosition(g_scene, &p);
        EXPECT_EQ(-100.0f, p.x) << slot;
    }
}
