// Shared by the game tests: the game brought up without its message loop, read-back of the back
// buffer, and an expected picture built from the same sprite cells the game draws.
#pragma once

#include "display/display.h"
#include "game/enemies.h"
#include "game/weapon.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Window, display, sound, renderer and scene, as the real start-up makes them.
bool BringUpGame();
// One title frame sets the round up; then play as if the title had just been left, with one
// frame of zero length so that the camera faces the satellite.
void EnterPlay();
// The satellite, earth and sky leave the scene, so the 3D render adds nothing to the picture.
void HideScenery();

uint16_t BackBufferPixel(int x, int y);
int CountBackBufferPixelsNot(uint16_t colour, int left, int top, int right, int bottom);

// An expected 640 x 480 picture, black at first; blits keep the sheets' colour key of 0.
struct Canvas {
    std::vector<uint16_t> pixels = std::vector<uint16_t>(640 * 480, 0);
    void Blit(int x, int y, int sheet, int left, int top, int right, int bottom);
    void Number(const std::string& digits, int x, int y); // cells of the digit sheet, 16 wide
    // The rectangle of this picture matches the back buffer exactly and is not all black.
    bool Matches(int left, int top, int right, int bottom) const;
};

// True when the back buffer shows exactly these digits at (x, y) over black.
bool BackBufferShowsNumber(const std::string& digits, int x, int y);
// True when the back buffer shows exactly this one cell at (x, y) over black.
bool BackBufferShowsCell(int x, int y, int sheet, int left, int top, int right, int bottom);

// The game brought up and in play, with nothing of the 3D world drawn over the 2D checks.
class GameScene : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BringUpGame());
        EnterPlay();
        HideScenery();
        ClearBackBuffer();
    }

    // A live enemy in slot i whose frame stands at (x, y, z).
    static void PlaceEnemy(int i, EnemyKind kind, float x, float y, float z)
    {
        EnemySlot& e = g_enemySlots[i];
        e = EnemySlot{};
        e.position = {x, y, z};
        e.kind = kind;
        e.alive = true;
        e.hitPoints = kind == Meteor ? 1 : kind == Ufo ? 3 : 5;
        g_frames[SLOT_ENEMY_BASE + i]->SetPosition(g_scene, x, y, z);
    }

    // The enemy's projected pixel, as the crosshair sees it.
    static void ScreenPoint(float x, float y, float z, int& sx, int& sy)
    {
        D3DVECTOR p = {x, y, z};
        D3DRMVECTOR4D q;
        g_viewport->Transform(&q, &p);
        sx = static_cast<int>(q.x / q.w);
        sy = static_cast<int>(q.y / q.w);
    }

    static int Pick()
    {
        D3DRMVECTOR4D projected;
        D3DVECTOR position;
        return PickTarget(projected, g_enemySlots, position);
    }
};

