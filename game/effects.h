// The two explosion effects drawn over the scene: debris of a kill, and the burst on the earth.
#pragma once

#include "game/enemy_slots.h"

constexpr float EXPLOSION_RATE = 20.0f; // both countdowns fall by 20 per second

void DrawEnemyExplosion(EnemySlot& enemy);
void DrawEarthImpact(EnemySlot& enemy);
