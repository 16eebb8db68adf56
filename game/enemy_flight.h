// Enemy flight: meteors and UFOs fly at the earth, missiles at the satellite.
#pragma once

#include "game/enemy_slots.h"

constexpr float DEG_TO_RAD = 3.14f / 180.0f; // the UFO's wobble and heading use 3.14, not pi

void UpdateMeteor(int frameSlot, EnemySlot& enemy);
void UpdateUfo(int frameSlot, EnemySlot& enemy, float timeLeft);
void UpdateMissile(int frameSlot, EnemySlot& enemy, float& timeLeft);
