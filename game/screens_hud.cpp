// The HUD of a round: score, best and seconds left.
#include "game/screens.h"

#include "display/draw2d.h"

constexpr int32_t FIVE_DIGITS = 900000; // DrawNumber offsets: 9 * 10^k shows k digits
constexpr int32_t THREE_DIGITS = 9000;

void DrawScoreHud(int32_t score, int32_t best)
{
    DrawSprite(300, 5, g_spriteSheets[SPR_SCORE_LABEL], 0, 0, 96, 20);
    DrawNumber(score, 400, 5, FIVE_DIGITS);
    DrawSprite(50, 5, g_spriteSheets[SPR_HISCORE_LABEL], 0, 0, 140, 20);
    DrawNumber(best, 196, 5, FIVE_DIGITS);
}

// The label is drawn over the digits; they show through its black, transparent pixels.
void DrawTimeHud(int32_t seconds)
{
    DrawNumber(seconds, 340, 450, THREE_DIGITS);
    DrawSprite(170, 450, g_spriteSheets[SPR_TIME_LABEL], 0, 0, 250, 20);
}
