// The full-screen display: the DirectDraw object, the primary surface and its back buffer.
#pragma once

#include "ddraw.h"

constexpr int DISPLAY_WIDTH = 640;
constexpr int DISPLAY_HEIGHT = 480;

extern LPDIRECTDRAW g_directDraw;           // the display object, from InitDisplay
extern LPDIRECTDRAWSURFACE g_primarySurface; // the screen; frames are copied onto it
extern LPDIRECTDRAWSURFACE g_backBuffer;     // everything is drawn here; owned by the primary

bool InitDisplay(HWND window);
void ReleaseDisplay(HWND window);
void ClearBackBuffer();
void PresentBackBuffer();
