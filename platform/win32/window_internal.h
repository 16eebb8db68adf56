// What the window, message-queue and message-box files share.
#pragma once

#include "../internal/platform_private.h"

#include "windows.h"

struct SDL_Window;

constexpr int POINTER_WIDTH = 640; // pointer positions are given on the 640 x 480 display
constexpr int POINTER_HEIGHT = 480;

// Window records (window_sdl.cpp); main thread only.
bool IsLiveWindow(HWND window);
WNDPROC WindowProcOf(HWND window);
HWND MainWindow(); // the first live window: where input and close requests go
SDL_Window* SdlWindowOf(HWND window);
void PumpWindowEvents(); // SDL's pending events into the message queue

// The message queue (message_queue.cpp).
void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void QueuePointerMove(HWND window, int x, int y, bool coalesce);
void SetKeyDown(int virtualKey, bool down);
bool IsKeyDown(int virtualKey);
