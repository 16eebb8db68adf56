// What the window, message-queue, message-box and command-line files share.
#pragma once

#include "../internal/platform_private.h"

#include "windows.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Surface;

constexpr int POINTER_WIDTH = 640; // pointer positions are given on the 640 x 480 display
constexpr int POINTER_HEIGHT = 480;

// How the picture is enlarged to the window: whole multiples by repeating pixels, then a smooth
// fit of the rest (Sharp); a smooth fit only (Smooth); whole multiples only, black around (Whole).
enum class ScaleMode { Sharp, Smooth, Whole };

// What the player asked for on the command line (command_line.cpp).
struct LaunchOptions {
    bool windowed = false; // start in a window rather than full screen
    ScaleMode scale = ScaleMode::Sharp;
    bool pauseInBackground = true; // the clock stops and the loop sleeps while the window is away
};
extern LaunchOptions g_launchOptions;
// -1 to go on and start the game, otherwise the exit code (help, version, a wrong option).
int ParseCommandLine(int argc, char** argv, LaunchOptions* options, std::FILE* out, std::FILE* err);
// Empty when windows can be shown; otherwise why not, in one line.
std::string WhyNoDisplay();

// Window records (window.cpp); main thread only.
bool IsLiveWindow(HWND window);
WNDPROC WindowProcOf(HWND window);
HWND MainWindow(); // the first live window: where input and close requests go
SDL_Window* SdlWindowOf(HWND window);
void PumpWindowEvents(); // SDL's pending events into the message queue
// While the window is in the background (and the player has not turned pausing off): waits for
// the next event instead of returning, so the loop sleeps. True when it waited.
bool WaitWhileInBackground();
// Milliseconds the clock has stood still while the window was in the background.
uint32_t PausedMilliseconds();

// The message queue (message_queue.cpp).
void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void QueuePointerMove(HWND window, int x, int y, bool coalesce);
void SetKeyDown(int virtualKey, bool down);
bool IsKeyDown(int virtualKey);
bool HasQueuedMessages();

// Where the picture goes in a window of the given size (window_scale.cpp).
struct ScaledPlacement {
    int x = 0, y = 0, width = 0, height = 0; // the picture's rectangle in the window
    int wholeFactor = 1;                     // the largest whole multiple that fits
};
ScaledPlacement PlacePicture(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight, ScaleMode mode);
// The largest whole multiple of 640 x 480 that fits in the given area, at least 1.
int WholeFactorFor(int areaWidth, int areaHeight);
// Window pixel to picture pixel under a placement, clamped to the picture.
void WindowToPicture(const ScaledPlacement& placement, int x, int y, int* pictureX, int* pictureY);
// Our own enlargement of an RGB565 picture into 32-bit 0x00RRGGBB pixels (the window surface).
struct SoftwareScaler {
    int sourceWidth = 0, sourceHeight = 0, targetWidth = 0, targetHeight = 0;
    ScaleMode mode = ScaleMode::Sharp;
    std::vector<int32_t> columnA, columnB, rowA, rowB; // source pixel each side of a target pixel
    std::vector<uint16_t> columnWeight, rowWeight;     // weight of B, 0..256
    std::vector<uint32_t> rowBuffer;                   // one enlarged source row
};
void ScalePicture(SoftwareScaler* scaler, const uint16_t* pixels, int width, int height, int pitchPixels,
                  ScaleMode mode, uint32_t* target, int targetWidth, int targetHeight, int targetPitchPixels);
