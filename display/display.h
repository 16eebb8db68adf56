// The full-screen display: the primary surface and its back buffer, on the display object
// g_directDraw that the shell services keep.
#pragma once

#include "base/shell_services.h"
#include "ddraw.h"

constexpr int DISPLAY_WIDTH = 640;
constexpr int DISPLAY_HEIGHT = 480;

extern LPDIRECTDRAWSURFACE g_primarySurface; // the screen; frames are copied onto it
extern LPDIRECTDRAWSURFACE g_backBuffer;     // everything is drawn here; owned by the primary

bool InitDisplay(HWND window);
void ReleaseDisplay(HWND window);
void ClearBackBuffer();
void PresentBackBuffer();
