// The title screen, the HUD and the result screen with its tally.
#pragma once

#include "base/shell_services.h"

#include <cstdint>

constexpr int32_t BONUS_PER_KIND = 3000;

extern ButtonState g_titleButton;  // the left button, polled only while the title shows
extern ButtonState g_resultButton; // the right button, polled only while the result shows
extern uint8_t g_resultLatch;      // a held right press is waiting to be let go
extern int32_t g_resultPage;       // 0 tally, 1 game over, 2 back to the title

void DrawTitleScreen(bool& titleActive, bool& playing, bool& worldActive, bool& roundReady);
void DrawScoreHud(int32_t score, int32_t best);
void DrawTimeHud(int32_t seconds);
void RunResultScreen(bool& titleActive, bool& playing, bool& worldActive, bool& resultActive, int32_t meteorsDestroyed,
                     int32_t ufosDestroyed, int32_t missilesDestroyed, int32_t score, int32_t& best);
