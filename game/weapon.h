// Targeting and firing: the crosshair, the lock-on, the one shot in flight and its hits.
#pragma once

#include "game/enemy_slots.h"

extern bool g_weaponReady;   // the next FireWeapon call launches a new shot
extern float g_shotLifetime; // how much longer the current shot may fly, seconds
extern float g_shotProgress; // how far the shot has travelled along the pivot's z axis
extern float g_shotDistance; // distance from (30, 0, 0) to the target at launch

int PickTarget(D3DRMVECTOR4D& projected, EnemySlot* slots, D3DVECTOR& position);
bool FireWeapon(int32_t& targetSlot, D3DRMVECTOR4D& projected, EnemySlot* target, int32_t& score, D3DVECTOR& position,
                float timeLeft, int32_t& meteorsDestroyed, int32_t& ufosDestroyed, int32_t& missilesDestroyed);
void DrawSpark(D3DRMVECTOR4D& projected, D3DVECTOR& position);
