// The game's fixed tables as the player meets them: spawning, lock windows and crosshair cells,
// shots and kill scores, sparks, explosions, the HUD and the tally.
#include "game_support.h"

#include "display/draw2d.h"
#include "game/effects.h"
#include "game/screens.h"
#include "testing.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(GameSpawn, RowsFillSlotsAndTheTableIsNeverReadPastItsEnd)
{
    int perKind[3] = {};
    for (int row = 0; row < 251; row++)
        perKind[static_cast<int>(g_spawnSchedule[row * 6 + 5])]++;
    EXPECT_EQ(121, perKind[Meteor]); // the tally's divisors
    EXPECT_EQ(93, perKind[Ufo]);
    EXPECT_EQ(37, perKind[Missile]);

    EnemySlot slots[ENEMY_SLOT_COUNT] = {};
    slots[4] = {{}, {}, 0, 0, 33.0f, 5.0f, false, false, true, 0, 0, 2, Ufo};
    int32_t cursor = 0;
    SpawnEnemy(slots, g_spawnSchedule, cursor, 4);
    const EnemySlot& e = slots[4];
    EXPECT_EQ(6, cursor);
    EXPECT_TRUE(e.position.x == 0 && e.position.y == 30 && e.position.z == 3 && e.spinRate == 10);
    EXPECT_TRUE(e.alive && e.needsSetup && !e.exploding && e.kind == Meteor);
    EXPECT_TRUE(e.explosionCountdown == 12 && e.impactCountdown == 0);
    EXPECT_TRUE(e.wobblePhase == 33 && e.hitPoints == 2); // left for the flight to carry on or set

    cursor = SPAWN_SCHEDULE_VALUES - 8; // the last whole row
    SpawnEnemy(slots, g_spawnSchedule, cursor, 5);
    SpawnEnemy(slots, g_spawnSchedule, cursor, 6);
    EXPECT_EQ(SPAWN_SCHEDULE_VALUES - 2, cursor);
    EXPECT_FALSE(slots[6].alive);
}

TEST_F(GameScene, LockWindowsAndCrosshairCellsByDistance)
{
    auto pickAt = [](int mx, int my) {
        g_mouseX = mx;
        g_mouseY = my;
        D3DRMVECTOR4D projected;
        D3DVECTOR position;
        return PickTarget(projected, g_enemySlots, position);
    };
    struct {
        float x;
        int cell;
        int half;
    } cases[] = {{12.5f, 1, 30}, {50, 8, 24}, {100, 16, 16}, {130, 20, 11}, {193.9f, 30, 1}, {194, 31, 0}};
    for (auto c : cases) {
        SCOPED_TRACE(c.x);
        std::memset(g_enemySlots, 0, sizeof g_enemySlots);
        PlaceEnemy(0, Missile, c.x, 3, 2);
        int sx;
        int sy;
        ScreenPoint(c.x, 3, 2, sx, sy);
        sx -= 4;
        sy -= 4;
        EXPECT_EQ(c.half > 0 ? 0 : -1, pickAt(sx, sy));
        EXPECT_EQ(c.half > 0 ? 0 : -1, pickAt(sx + c.half - 1, sy - c.half + 1));
        for (auto [dx, dy] : {std::pair{c.half, 0}, {-c.half, 0}, {0, c.half}, {0, -c.half}})
            EXPECT_EQ(-1, pickAt(sx + dx, sy + dy)); // the border is outside
        ClearBackBuffer();
        if (pickAt(sx, sy) == 0 && c.cell < 9) {
            EXPECT_TRUE(ShowsCells(sx, sy, {{SPR_CROSSHAIR, 24 * c.cell, 24, 24 * c.cell + 24, 48}}));
        }
    }

    // Overlapping windows: the lower slot wins.
    PlaceEnemy(7, Ufo, 60, 4, 1);
    PlaceEnemy(3, Meteor, 60, 4, 1);
    int sx;
    int sy;
    ScreenPoint(60, 4, 1, sx, sy);
    EXPECT_EQ(3, pickAt(sx - 4, sy - 4));

    // Enemies start on the camera's own plane: there, behind it or just in front of it they have
    // no usable screen point and cannot be locked; the free crosshair follows the pointer.
    std::memset(g_enemySlots, 0, sizeof g_enemySlots);
    PlaceEnemy(0, Meteor, 0, 30, 3);
    PlaceEnemy(1, Meteor, 0, 0, 0);
    PlaceEnemy(2, Ufo, -5, 2, 1);
    PlaceEnemy(3, Missile, 1e-30f, 1, 1);
    for (int m : {0, 236, 316, 400}) {
        ClearBackBuffer();
        EXPECT_EQ(-1, pickAt(m, m / 2));
        EXPECT_TRUE(ShowsCells(m, m / 2, {{SPR_CROSSHAIR, 0, 0, 16, 16}}));
    }
}

// One weapon step against slot `target` (-1 for none), as the round driver makes it.
static bool Fire(int32_t target, int32_t& score, int32_t kills[3])
{
    D3DRMVECTOR4D projected = {640.0f, 480.0f, 0.5f, 2.0f}; // screen point (320, 240)
    D3DVECTOR position = target >= 0 ? g_enemySlots[target].position : D3DVECTOR{};
    return FireWeapon(target, projected, target >= 0 ? &g_enemySlots[target] : nullptr, score, position, 120.0f,
                      kills[Meteor], kills[Ufo], kills[Missile]);
}

TEST_F(GameScene, ShotsHitWhateverIsUnderTheCrosshairAndExpireAfterTheirLifetime)
{
    int32_t score = 0;
    int32_t kills[3] = {};
    g_frameDelta = 0.125f;
    int steps = 0;
    while (Fire(-1, score, kills))
        steps++;
    EXPECT_EQ(7, steps); // 7 x 0.125 s takes the 0.8 s lifetime below zero
    EXPECT_TRUE(g_weaponReady && g_shotProgress == 0 && g_shotLifetime == 0.8f);

    PlaceEnemy(2, Ufo, 40, 0, 0); // 10 units from the shot's origin (30, 0, 0)
    PlaceEnemy(5, Meteor, 60, 0, 0);
    g_frameDelta = 0.02f; // 4 units a step
    EXPECT_TRUE(Fire(2, score, kills) && Fire(2, score, kills) && Fire(2, score, kills));
    ClearBackBuffer();
    EXPECT_FALSE(Fire(5, score, kills)); // 12 >= 10: the meteor under the crosshair now takes it
    EXPECT_TRUE(g_enemySlots[2].alive && g_enemySlots[2].hitPoints == 3);
    EXPECT_TRUE(!g_enemySlots[5].alive && g_enemySlots[5].exploding);
    EXPECT_EQ(60, score); // (150 - 60) * 100 / 150
    EXPECT_EQ(1, kills[Meteor]);
    // Spark offset k = (100 - 60) / 10 + 5; the explosion centre is the projected point itself.
    EXPECT_TRUE(ShowsCells(311, 231, {{SPR_SPARK, 0, 0, 30, 30}}));
    EXPECT_TRUE(g_enemySlots[5].explosionX == 320 && g_enemySlots[5].explosionY == 240);

    // A hit that does not destroy scores nothing.
    g_frameDelta = 0.1f;
    EXPECT_TRUE(Fire(2, score, kills));
    EXPECT_FALSE(Fire(2, score, kills));
    EXPECT_TRUE(g_enemySlots[2].alive && g_enemySlots[2].hitPoints == 2 && score == 60);
}

TEST_F(GameScene, KillScoresByKindAndDistance)
{
    struct {
        EnemyKind kind;
        float x;
        int score;
    } cases[] = {{Meteor, -20, 113}, {Meteor, 0, 100}, {Meteor, 45.5f, 69}, {Meteor, 100, 33},
                 {Meteor, 130, 13},  {Ufo, -20, 340},  {Ufo, 0, 300},       {Ufo, 45.5f, 209},
                 {Ufo, 100, 100},    {Ufo, 130, 40},   {Missile, 5, 700},   {Missile, 250, 700}};
    int32_t kills[3] = {};
    for (auto c : cases) {
        PlaceEnemy(2, c.kind, c.x, 1, 1);
        g_enemySlots[2].hitPoints = 1;
        g_weaponReady = false; // a shot already at its target
        g_shotDistance = g_shotProgress = 0.0f;
        int32_t score = 1000;
        EXPECT_FALSE(Fire(2, score, kills));
        EXPECT_EQ(1000 + c.score, score) << c.kind << " at " << c.x;
    }
    EXPECT_TRUE(kills[Meteor] == 5 && kills[Ufo] == 5 && kills[Missile] == 2);
}

TEST_F(GameScene, ExplosionCellsSizesAndPlaces)
{
    struct {
        float x;
        float countdown;
        int sizeClass; // -1: nothing shows
        int cell;
    } cases[] = {{100, 12, 0, 0},   {100, 11.5f, 0, 1}, {100, 0.5f, 0, 12}, {100, -0.5f, 0, 12}, {100, -1.5f, -1, 0},
                 {50, 11.5f, 1, 1}, {30, 12, 2, 0},     {0, 11, 3, 1},      {160, 12, -1, 0},    {-40, 12, -1, 0}};
    g_frameDelta = 0.05f;
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << " / " << c.countdown);
        ClearBackBuffer();
        EnemySlot e = {};
        e.position.x = c.x;
        e.explosionCountdown = c.countdown;
        e.explosionX = 300;
        e.explosionY = 250;
        DrawEnemyExplosion(e);
        int s = 48 * (c.sizeClass + 1);
        int d = 32 * c.sizeClass;
        if (c.sizeClass < 0) {
            EXPECT_TRUE(BackBufferBlank());
        } else {
            EXPECT_TRUE(
                ShowsCells(300 - d, 250 - d, {{SPR_EXPLOSION0 + c.sizeClass, s * c.cell, 0, s * c.cell + s, s}}));
        }
        EXPECT_FLOAT_EQ(c.countdown - 1.0f, e.explosionCountdown);
    }

    // The earth impact sits on the earth's projected centre, two cells on after 0.1 s, and
    // shows nothing while the earth is behind the camera.
    int sx;
    int sy;
    ScreenPoint(g_earthPosition.x, g_earthPosition.y, g_earthPosition.z, sx, sy);
    g_frameDelta = 0.1f;
    EnemySlot e = {};
    e.impactCountdown = 16.0f;
    ClearBackBuffer();
    DrawEarthImpact(e);
    EXPECT_TRUE(ShowsCells(sx, sy, {{SPR_EARTH_EXPLOSION, 0, 0, 96, 96}}));
    ClearBackBuffer();
    DrawEarthImpact(e);
    EXPECT_TRUE(ShowsCells(sx, sy, {{SPR_EARTH_EXPLOSION, 192, 0, 288, 96}}));
    ClearBackBuffer();
    g_earthPosition = {-50.0f, 3.0f, 1.0f};
    DrawEarthImpact(e);
    EXPECT_TRUE(BackBufferBlank());
    EXPECT_FLOAT_EQ(10.0f, e.impactCountdown);
}

TEST_F(GameScene, HudShowsScoreBestAndSecondsRoundedUp)
{
    g_score = 250;
    g_hiScore = 1234;
    g_timeLeft = 45.2f;
    g_elapsed = ROUND_SECONDS - g_timeLeft;
    g_scheduleCursor = 251 * SPAWN_ROW_VALUES; // nothing falls due
    ClearBackBuffer();
    RunRoundFrame(g_hWnd);
    EXPECT_TRUE(ShowsNumber("00250", 400, 5));
    EXPECT_TRUE(ShowsNumber("01234", 196, 5));
    // The time label lies over the digits, which show through its black pixels.
    for (int i = 0; i < 3; i++) {
        int d = "046"[i] - '0';
        EXPECT_TRUE(ShowsCells(
            340 + 16 * i, 450,
            {{SPR_DIGITS, 16 * d, 0, 16 * d + 16, 20}, {SPR_TIME_LABEL, 170 + 16 * i, 0, 186 + 16 * i, 20}}));
    }
}

// The tally page for these kills; returns the best as it stands afterwards.
static int32_t ShowTally(int32_t meteors, int32_t ufos, int32_t missiles, int32_t score, int32_t best)
{
    bool title = false, playing = true, world = false, result = true;
    ClearBackBuffer();
    RunResultScreen(title, playing, world, result, meteors, ufos, missiles, score, best);
    return best;
}

TEST_F(GameScene, TallyRatesBonusesTotalsAndTheBest)
{
    ShowTally(121, 93, 37, 0, 0);
    for (int y : {100, 130, 160})
        EXPECT_TRUE(ShowsNumber("100", 230, y) && ShowsNumber("3000", 362, y) && ShowsNumber("3000", 462, y));
    EXPECT_TRUE(ShowsNumber("9000", 462, 190) && ShowsNumber("00000", 140, 255));
    EXPECT_TRUE(ShowsNumber("9000", 270, 255) && ShowsNumber("09000", 430, 255));

    // The total comes from the unrounded bonuses: 1487.6 + 1000.0 + 81.08.
    EXPECT_EQ(2818, ShowTally(60, 31, 1, 250, 0));
    EXPECT_TRUE(ShowsNumber("049", 230, 100) && ShowsNumber("1487", 462, 100));
    EXPECT_TRUE(ShowsNumber("033", 230, 130) && ShowsNumber("1000", 462, 130));
    EXPECT_TRUE(ShowsNumber("002", 230, 160) && ShowsNumber("0081", 462, 160));
    EXPECT_TRUE(ShowsNumber("2568", 462, 190) && ShowsNumber("02818", 430, 255));

    // 250 and one missile make 331.08: a best of 331 becomes 331 with its label, 332 stays.
    EXPECT_EQ(331, ShowTally(0, 0, 1, 250, 331));
    EXPECT_TRUE(ShowsNumber("00331", 430, 255));
    EXPECT_TRUE(ShowsCells(240, 300, {{SPR_HISCORE_LABEL, 0, 0, 128, 20}}));
    EXPECT_EQ(332, ShowTally(0, 0, 1, 250, 332));
    EXPECT_FALSE(ShowsCells(240, 300, {{SPR_HISCORE_LABEL, 0, 0, 128, 20}}));
}

TEST_F(GameScene, ResultPagesTurnOnlyOnAPressHeldForTwoPolls)
{
    bool title = false, playing = true, world = true, result = true;
    int32_t best = 0;
    auto poll = [&](bool down) {
        TestSetMouseButton(VK_RBUTTON, down);
        RunResultScreen(title, playing, world, result, 0, 0, 0, 0, best);
        return g_resultPage;
    };
    // Down at one poll only: ignored. Held, then let go: the page turns two polls after release.
    std::vector<int> pages;
    for (bool down : {true, false, false, true, true, true, false, false, false})
        pages.push_back(poll(down));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0, 0, 0, 1, 1}), pages);
    EXPECT_TRUE(result && playing && !world && !title);
    for (bool down : {true, true, false, false})
        poll(down);
    EXPECT_TRUE(title && !playing && !world && !result && g_resultPage == 0);
    for (int slot : {SLOT_EARTH, SLOT_SATELLITE, SLOT_SKY}) {
        D3DVECTOR p;
        g_frames[slot]->GetPosition(g_scene, &p);
        EXPECT_EQ(-100.0f, p.x) << slot;
    }
}
