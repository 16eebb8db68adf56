// Program entry: the window, the start-up steps and the frame loop. WinMain itself is declared
// with the platform's entry, in windows.h.
#pragma once

#include "windows.h"

extern DWORD g_lastTick; // tick count the next frame's delta is measured from
