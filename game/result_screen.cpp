// The result screen: the tally, the game-over page and the way back to the title.
#include "game/screens.h"

ButtonState g_resultButton = Up;
uint8_t g_resultLatch = 0;
int32_t g_resultPage = 0;

void RunResultScreen(bool&, bool&, bool&, bool&, int32_t, int32_t, int32_t, int32_t, int32_t&)
{
}
