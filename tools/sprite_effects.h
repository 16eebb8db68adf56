// The animated and pointer sprites: explosions, the crosshair sheet, the hit spark.
#pragma once

#include "bmp_writer.h"

// One row of `cells` square cells of `cellSize` pixels: a flash, a growing fireball with
// flying debris, then fading and shrinking to nothing in the last cell.
Image DrawExplosionSheet(int cellSize, int cells, uint32_t seed);
// The same row for a blast on the ground: a wide shock ring and a rising plume.
Image DrawImpactSheet(int cellSize, int cells, uint32_t seed);
// The pointer mark at (0, 0, 16, 16) and 26 lock-on cells of 24 x 24 in the row at y = 24.
Image DrawCrosshairSheet();
// The 30 x 30 spark of a hit.
Image DrawSparkSprite();

// Cells that fit side by side within the widest sheet the game reads (640 pixels).
constexpr int SHEET_MAX_WIDTH = 640;
constexpr int CellsThatFit(int cellSize)
{
    return SHEET_MAX_WIDTH / cellSize;
}
constexpr int LOCK_CELL_SIZE = 24;
constexpr int LOCK_CELL_COUNT = 26;
