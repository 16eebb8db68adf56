// Targeting: the lock-on pick with its crosshair, and the spark of a hit.
#include "game/weapon.h"

int PickTarget(D3DRMVECTOR4D&, EnemySlot*, D3DVECTOR&)
{
    return -1;
}

void DrawSpark(D3DRMVECTOR4D&, D3DVECTOR&)
{
}
