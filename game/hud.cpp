// The HUD of a round: score, best and seconds left.
#include "game/screens.h"

void DrawScoreHud(int32_t, int32_t)
{
}

void DrawTimeHud(int32_t)
{
}
