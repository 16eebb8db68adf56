// The enemy slots of a round and the spawn step that fills them from the timetable.
#include "game/enemies.h"

EnemySlot g_enemySlots[ENEMY_SLOT_COUNT];
int32_t g_scheduleCursor = 0;
int32_t g_nextSlot = 0;

void SpawnEnemy(EnemySlot*, const double*, int32_t&, int32_t)
{
}
