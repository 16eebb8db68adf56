// Runs the real game loop (WinMain) headless: a scripted clock, scripted pointer, buttons and
// keys, and read-back of every presented image.
#pragma once

#include "testing.h"

#include <cstdint>
#include <functional>

struct GameScript {
    DWORD startMs = 100000; // the tick count at start-up
    DWORD frameMs = 16;     // the clock moves on by this much after every presented frame
    int maxFrames = 20000;  // Escape is pressed after this many frames, whatever the script does
    // Runs after each present, with the number of frames presented so far (1 for the first).
    // It may move the pointer, set buttons, press keys or change frameMs.
    std::function<void(int frame, GameScript& script)> onFrame;
};

// Starts the game through WinMain and returns its exit code.
int RunGame(GameScript script);

// Pixel helpers for the presented image.
uint16_t PresentedPixel(int x, int y);
int CountPresentedPixelsNot(uint16_t colour, int left, int top, int right, int bottom);
