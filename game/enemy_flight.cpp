// Enemy flight: meteors and UFOs fly at the earth, missiles at the satellite.
#include "game/flight.h"

void UpdateMeteor(int, EnemySlot&)
{
}

void UpdateUfo(int, EnemySlot&, float)
{
}

void UpdateMissile(int, EnemySlot&, float&)
{
}
