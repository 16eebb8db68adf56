// The window procedure: pointer moves, Escape, the close teardown and the music's end notice.
#pragma once

#include "windows.h"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void HandleKeyDown(WPARAM virtualKey, HWND window);
