// What the DirectDraw object needs from the surface file.
#pragma once

#include "../internal/platform_private.h"

#include "ddraw.h"

constexpr int PRIMARY_WIDTH = 640;
constexpr int PRIMARY_HEIGHT = 480;
constexpr int MAX_SURFACE_SIDE = 8192;

// A primary surface (640 x 480, with `backBuffers` (0 or 1) attached) or an off-screen one.
IDirectDrawSurface* NewPrimarySurface(int backBuffers);
IDirectDrawSurface* NewOffscreenSurface(int width, int height);
