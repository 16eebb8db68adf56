// Shared set-up for the 2D tests and benchmarks: the display object with a primary surface and its
// back buffer, off-screen surfaces, and a line of text drawn the way the game draws its prompts.
#pragma once

#include "ddraw.h"
#include "windows.h"

struct DisplayFixture {
    IDirectDraw* directDraw = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* backBuffer = nullptr;

    // Exclusive 640 x 480 x 16 with one back buffer; a failing step is a test failure.
    DisplayFixture();
    ~DisplayFixture();
    DisplayFixture(const DisplayFixture&) = delete;
    DisplayFixture& operator=(const DisplayFixture&) = delete;

    // A plain off-screen surface; the caller releases it.
    IDirectDrawSurface* Offscreen(int width, int height);
};

// "標準明朝" in code page 932: the face the game asks for.
extern const char MINCHO_FACE[];

// Text as the game puts it on a surface: a fresh font (face, height, italic, Shift-JIS), selected
// into the surface's device context, used with the background mode and colour, then deleted.
// False when a step fails.
bool DrawTextLikeTheGame(IDirectDrawSurface* surface, const char* face, int height, bool italic, int x, int y,
                         COLORREF colour, int backgroundMode, const char* text);
