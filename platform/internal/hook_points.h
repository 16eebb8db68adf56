// Hook points for the tests (no library). The platform_testing library fills them in to script
// the clock, make creation steps fail and watch what the stand-ins do; in the game they all stay
// empty, and each costs the test of a null pointer.
#pragma once

#include "platform_private.h"

#include "dsound.h"
#include "windows.h"

#include <cstddef>
#include <cstdint>

// Creation steps a test can make fail.
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

struct PlatformHooks {
    bool (*shouldFail)(FailPoint point); // true when this call of the step must fail
    bool (*scriptedTicks)(DWORD* ticks); // true, with the tick count, while the clock is scripted
    void (*presented)(const uint16_t* pixels, int width, int height, int pitchPixels);
    void (*messageBox)(const char* captionUtf8, const char* textUtf8, bool hasOwner);
    void (*mciNotice)(HWND window, WPARAM code, LPARAM deviceId); // from any thread
    // "Stop", "Position 0", "Position", "Play" as they reach a buffer; "Start" when its sound
    // starts, "Gone" when it is freed.
    void (*soundBufferCall)(IDirectSoundBuffer* buffer, const char* call);
    void (*deviceCreated)(bool givenGuid); // each IDirect3DRM::CreateDeviceFromSurface call
    DWORD soundLockSplit;                  // first-region limit that splits a lock in two; 0 off
    uint16_t* pixelWriteCounts;            // per-pixel write counters of the render target
    size_t pixelWriteCountSize;
    bool drawTransparentSpans; // decal runs over transparent texels only are drawn, not passed over
};

extern PlatformHooks g_platformHooks;

inline bool FailureInjected(FailPoint point)
{
    return g_platformHooks.shouldFail && g_platformHooks.shouldFail(point);
}
