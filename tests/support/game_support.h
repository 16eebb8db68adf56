// Shared by the game tests and benchmarks: the game brought up without its message loop, in play,
// and read-back of the back buffer against the sprite cells the game should have drawn there.
#pragma once

#include "display/display.h"
#include "game/enemy_slots.h"
#include "game/round.h"
#include "game/weapon.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"

#include <gtest/gtest.h>

#include <string>

// The back buffer at (x, y) shows exactly these cells, blitted in order with the colour key,
// over black; cells are {sheet, left, top, right, bottom}.
struct Cell {
    int sheet;
    int left;
    int top;
    int right;
    int bottom;
};
bool ShowsCells(int x, int y, std::initializer_list<Cell> cells);
bool ShowsNumber(const std::string& digits, int x, int y);
bool BackBufferBlank();

// Window, display, sound, renderer and scene as the real start-up makes them, without the message
// loop. False when a step fails.
bool BringUpGame();
// One title frame of `delta` seconds sets the round up; then the phase flags say play has begun.
void EnterPlay(float delta);

// The game brought up as above; one title frame
// sets the round up, then play begins with a frame of zero length that faces the camera at the
// satellite. The satellite, earth and sky are hidden so the 3D render adds nothing to the checks.
class GameScene : public ::testing::Test {
protected:
    void SetUp() override;
    static void PlaceEnemy(int slot, EnemyKind kind, float x, float y, float z);
    static void ScreenPoint(float x, float y, float z, int& sx, int& sy); // the projected pixel
};
