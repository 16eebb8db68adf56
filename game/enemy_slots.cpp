// The enemy slots of a round and the spawn step that fills them from the timetable.
#include "game/enemy_slots.h"

#include "game/float_to_int.h"

EnemySlot g_enemySlots[ENEMY_SLOT_COUNT]; // the enemies of the round; cleared at round start
int32_t g_scheduleCursor = 0;             // first value of the next row due; the round driver tests its time
int32_t g_nextSlot = 0;                   // slot the next spawn fills, in strict rotation

// Copies the row at the cursor into the slot and moves the cursor on by one row. A cursor with
// no whole row left behind it consumes nothing, so the table is never read past its end.
void SpawnEnemy(EnemySlot* slots, const double* schedule, int32_t& cursor, int32_t slotIndex)
{
    if (cursor < 0 || cursor > SPAWN_SCHEDULE_VALUES - SPAWN_ROW_VALUES)
        return;
    if (slotIndex < 0 || slotIndex >= ENEMY_SLOT_COUNT)
        return;

    float row[SPAWN_ROW_VALUES];
    for (int column = 0; column < SPAWN_ROW_VALUES; column++)
        row[column] = static_cast<float>(schedule[cursor++]);

    EnemySlot& enemy = slots[slotIndex];
    enemy.position = {row[1], row[2], row[3]};
    enemy.spinRate = row[4];
    enemy.kind = TruncToInt(row[5]);
    // velocity, hit points and the wobble are left to the first flight update; the wobble goes on
    // from whatever the slot's earlier UFOs left behind.
    enemy.needsSetup = true;
    enemy.exploding = false;
    enemy.explosionCountdown = 12.0f;
    enemy.impactCountdown = 0.0f;
    enemy.alive = true;
}
