// The game's one per-frame step, which moves the round through its phases (title, play, result).
#pragma once

#include "base/round_state.h"
#include "windows.h"

void RunRoundFrame(HWND window);
