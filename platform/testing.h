// Seams for the tests: a scripted clock and scripted input, failure injection, lost surfaces,
// and read-back of what was presented and of every message box. The game never includes this.
#pragma once

#include "windows.h"

#include <functional>
#include <string>
#include <vector>

// Creation steps a test can make fail. Each call of the named operation consumes one armed failure.
enum class FailPoint {
    CreateWindow,
    DirectDrawCreate,
    SetCooperativeLevel,
    SetDisplayMode,
    CreatePrimarySurface,
    GetAttachedSurface,
    CreateOffscreenSurface,
    QueryDirect3D,
    FindDevice,
    Direct3DRMCreate,
    CreateFrame,
    CreateDeviceFromSurface,
    CreateViewport,
    CreateLightRGB,
    CreateMeshBuilder,
    DirectSoundCreate,
    DirectSoundSetCooperativeLevel,
    CreateSoundBuffer,
    SoundBufferLockLost,
    Count
};

// The next `times` calls of the operation fail; `skip` calls succeed first.
void TestFailNext(FailPoint point, int times = 1, int skip = 0);
// Called by the stand-ins: true when this call must fail (consumes one armed failure).
bool TestShouldFail(FailPoint point);
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
