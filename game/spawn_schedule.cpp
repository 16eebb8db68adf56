// The spawn timetable compiled into the game.
#include "game/enemies.h"

const double g_spawnSchedule[SPAWN_SCHEDULE_VALUES] = {};
