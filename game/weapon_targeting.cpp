// Targeting: the lock-on pick with its crosshair, and the spark drawn at a hit.
#include "game/weapon.h"

#include "display/draw2d.h"
#include "game/round.h"
#include "game/screen_point.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"

constexpr int32_t CROSSHAIR_OFFSET = 4; // the locked cell sits this far up and left of the enemy
constexpr int32_t LOCK_CELL_SIZE = 24;  // locked crosshair cells, in a row under the free one
constexpr int32_t FREE_CROSSHAIR_SIZE = 16;
constexpr int32_t SPARK_SIZE = 30;

// Finds the first live enemy whose lock window holds the pointer and draws the crosshair, locked
// on it or free at the pointer. Farther enemies have smaller windows and later crosshair cells.
int PickTarget(D3DRMVECTOR4D& projected, EnemySlot* slots, D3DVECTOR& position)
{
    for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
        if (!slots[i].alive)
            continue;
        g_frames[SLOT_ENEMY_BASE + i]->GetPosition(g_scene, &position);
        g_viewport->Transform(&projected, &position);

        int32_t px;
        int32_t py;
        if (!ProjectedToScreen(projected, px, py))
            continue;
        int64_t sx = int64_t{px} - CROSSHAIR_OFFSET;
        int64_t sy = int64_t{py} - CROSSHAIR_OFFSET;

        int32_t x = TruncToInt(position.x);
        int64_t cell = TruncToInt(x / 6.25);
        int64_t half = TruncToInt(32 - x / 6.25);

        if (sx - half < g_mouseX && g_mouseX < sx + half && sy - half < g_mouseY && g_mouseY < sy + half) {
            // A cell far outside the sheet would draw nothing anyway; keep its rectangle in range.
            int64_t left = LOCK_CELL_SIZE * cell;
            if (PixelInRange(left))
                DrawSprite(static_cast<int>(sx), static_cast<int>(sy), g_spriteSheets[SPR_CROSSHAIR],
                           static_cast<int>(left), LOCK_CELL_SIZE, static_cast<int>(left + LOCK_CELL_SIZE),
                           2 * LOCK_CELL_SIZE);
            return i;
        }
    }
    DrawSprite(g_mouseX, g_mouseY, g_spriteSheets[SPR_CROSSHAIR], 0, 0, FREE_CROSSHAIR_SIZE, FREE_CROSSHAIR_SIZE);
    return -1;
}

// The spark of a hit: the same picture at every distance, only pulled further up and left the
// nearer the enemy is.
void DrawSpark(D3DRMVECTOR4D& projected, D3DVECTOR& position)
{
    int32_t px;
    int32_t py;
    if (!ProjectedToScreen(projected, px, py))
        return;
    int64_t x = TruncToInt(position.x);
    int64_t k = (100 - x) / 10 + 5;
    int64_t left = px - k;
    int64_t top = py - k;
    if (!PixelInRange(left) || !PixelInRange(top))
        return;
    DrawSprite(static_cast<int>(left), static_cast<int>(top), g_spriteSheets[SPR_SPARK], 0, 0, SPARK_SIZE, SPARK_SIZE);
}
