// Seams for the tests (the platform_testing library): a scripted clock and scripted input,
// failure injection, lost surfaces, and read-back of what was presented and of every message box.
// Only tests and benchmarks link it; the game never includes this.
#pragma once

#include "hook_points.h"
#include "windows.h"

#include <functional>
#include <string>
#include <vector>

// The next `times` calls of the operation fail; `skip` calls succeed first.
void TestFailNext(FailPoint point, int times = 1, int skip = 0);
void TestResetFailures();

// Clock: once manual, GetTickCount returns the scripted value until advanced.
void TestUseManualClock(DWORD startMs);
void TestAdvanceClock(DWORD ms);

// Input arrives as the window would see it: moves and keys are queued as messages, the mouse
// buttons are what GetKeyState reports.
void TestMoveMouse(int x, int y);
void TestPressKey(int virtualKey);
void TestSetMouseButton(int virtualKey, bool down);
void TestRequestClose(); // the window's close button or Alt+F4

// Turns on the recorders below (presented frames, message boxes, MCI notices, sound buffer calls,
// device creations). The test main calls it once; a benchmark that times presents leaves it off.
void TestInstallRecorders();

// Presentation: the hook runs after every present onto the primary surface.
void TestSetPresentHook(std::function<void()> hook);
const uint16_t* TestPresentedImage(); // 640 x 480 RGB565, row after row
int TestPresentCount();

// Every surface reports DDERR_SURFACELOST until restored.
void TestLoseAllSurfaces();

// Every MessageBoxA call, decoded to UTF-8.
struct TestMessageBox {
    std::string caption;
    std::string text;
    bool hasOwner;
};
const std::vector<TestMessageBox>& TestMessageBoxes();
void TestClearMessageBoxes();
