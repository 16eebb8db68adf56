// The weapon: one shot at a time from the satellite, its flight, hits and kills.
#include "game/weapon.h"

bool g_weaponReady = true;
float g_shotLifetime = 0.8f;
float g_shotProgress = 0.0f;
float g_shotDistance = 0.0f;

bool FireWeapon(int32_t&, D3DRMVECTOR4D&, EnemySlot*, int32_t&, D3DVECTOR&, float, int32_t&, int32_t&, int32_t&)
{
    return false;
}
