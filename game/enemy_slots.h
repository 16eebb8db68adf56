// The 40 enemy slots of a round and the compiled-in spawn timetable.
#pragma once

#include "d3drm.h"

#include <cstdint>

enum EnemyKind : int32_t {
    Meteor = 0,
    Ufo = 1,
    Missile = 2,
};

struct EnemySlot {
    D3DVECTOR position;       // world position, root frame units
    D3DVECTOR velocity;       // displacement per second, set at the first flight update
    float spinRate;           // tumble rate, radians per second; also drives the UFO wobble
    float explosionCountdown; // debris explosion cell counter; 12 at spawn
    float wobblePhase;        // UFO wobble angle, degrees
    float impactCountdown;    // earth-impact explosion counter; 16 on reaching the earth
    bool alive;               // in flight: moved, targetable, hittable
    bool needsSetup;          // the first flight update has not yet run
    bool exploding;           // the debris explosion is showing
    int32_t explosionX;       // screen centre of the debris explosion
    int32_t explosionY;
    int32_t hitPoints; // hits still needed
    int32_t kind;      // an EnemyKind
};

constexpr int ENEMY_SLOT_COUNT = 40;
constexpr int SPAWN_SCHEDULE_VALUES = 2000;
constexpr int SPAWN_ROW_VALUES = 6;

extern EnemySlot g_enemySlots[ENEMY_SLOT_COUNT];            // the enemies of the round
extern const double g_spawnSchedule[SPAWN_SCHEDULE_VALUES]; // the timetable, rows of six values
extern int32_t g_scheduleCursor;                            // index of the first value of the next row to spawn
extern int32_t g_nextSlot;                                  // slot the next spawn fills

void SpawnEnemy(EnemySlot* slots, const double* schedule, int32_t& cursor, int32_t slotIndex);
