// The debris explosion of a kill and the burst on the earth.
#include "game/effects.h"

void DrawEnemyExplosion(EnemySlot&)
{
}

void DrawEarthImpact(EnemySlot&)
{
}
