// The debris explosion of a kill and the burst on the earth, both stepping through a row of
// square cells at EXPLOSION_RATE cells per second.
#include "game/effects.h"

#include "display/draw2d.h"
#include "game/round.h"
#include "game/screen_point.h"
#include "scene/renderer.h"

constexpr int DEBRIS_SIZE_CLASSES = 4;     // explosion sheets 0 to 3, nearest enemies biggest
constexpr int32_t DEBRIS_CELL_UNIT = 48;   // class c has cells of (c + 1) * 48 pixels
constexpr int32_t DEBRIS_CLASS_SHIFT = 32; // each class is drawn this much further up and left
constexpr int32_t DEBRIS_FIRST_COUNT = 12; // countdown at the kill: cell 12 - countdown
constexpr float IMPACT_COUNTDOWN_START = 16.0f;
constexpr int32_t IMPACT_CELL_SIZE = 96;

// The explosion has no end of its own: the cells run on past the sheet and simply stop showing.
void DrawEnemyExplosion(EnemySlot& enemy)
{
    int32_t sizeClass = TruncToInt((100 - enemy.position.x) / 33 + 0.3);
    // Only four sheets exist; an enemy destroyed beyond either end of their range shows nothing.
    if (sizeClass >= 0 && sizeClass < DEBRIS_SIZE_CLASSES) {
        int64_t size = (sizeClass + 1) * DEBRIS_CELL_UNIT;
        int64_t cell = DEBRIS_FIRST_COUNT - int64_t{TruncToInt(enemy.explosionCountdown)};
        int64_t left = cell * size;
        int64_t x = int64_t{enemy.explosionX} - DEBRIS_CLASS_SHIFT * sizeClass;
        int64_t y = int64_t{enemy.explosionY} - DEBRIS_CLASS_SHIFT * sizeClass;
        if (PixelInRange(left) && PixelInRange(x) && PixelInRange(y))
            DrawSprite(static_cast<int>(x), static_cast<int>(y), g_spriteSheets[SPR_EXPLOSION0 + sizeClass],
                       static_cast<int>(left), 0, static_cast<int>(left + size), static_cast<int>(size));
    }
    enemy.explosionCountdown = enemy.explosionCountdown - g_frameDelta * EXPLOSION_RATE;
}

// Always drawn on the earth's projected centre; the slot only carries the countdown.
void DrawEarthImpact(EnemySlot& enemy)
{
    float f = IMPACT_COUNTDOWN_START - enemy.impactCountdown;
    D3DRMVECTOR4D projected;
    g_viewport->Transform(&projected, &g_earthPosition);
    int32_t sx;
    int32_t sy;
    int64_t left = int64_t{TruncToInt(f)} * IMPACT_CELL_SIZE;
    if (ProjectedToScreen(projected, sx, sy) && PixelInRange(left))
        DrawSprite(sx, sy, g_spriteSheets[SPR_EARTH_EXPLOSION], static_cast<int>(left), 0,
                   static_cast<int>(left + IMPACT_CELL_SIZE), IMPACT_CELL_SIZE);
    enemy.impactCountdown = enemy.impactCountdown - g_frameDelta * EXPLOSION_RATE;
}
