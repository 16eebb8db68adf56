// What the stand-ins did, recorded for the tests through the hook points (no library): the last
// presented frame, message boxes, MCI notices, sound buffer calls and device creations.
#include "platform_internal.h"
#include "testing.h"
#include "testing_render.h"
#include "testing_sound.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace {
constexpr int PRESENTED_WIDTH = 640;
constexpr int PRESENTED_HEIGHT = 480;

std::vector<uint16_t> g_presentedImage(PRESENTED_WIDTH* PRESENTED_HEIGHT); // the last present
int g_presentCount = 0;                                                    // presents onto any primary surface
std::function<void()> g_presentHook;                                       // a test's hook, run after each present
std::vector<TestMessageBox> g_boxes;
std::mutex g_noticesLock; // notices come from the audio thread
std::vector<TestMciNotice> g_notices;
std::map<IDirectSoundBuffer*, std::vector<const char*>> g_soundCalls; // by live buffer
std::vector<bool> g_deviceCreationGuids;

void Presented(const uint16_t* pixels, int width, int height, int pitchPixels)
{
    const int rows = std::min(height, PRESENTED_HEIGHT);
    const int columns = std::min(width, PRESENTED_WIDTH);
    for (int row = 0; row < rows; row++)
        std::memcpy(&g_presentedImage[static_cast<size_t>(row) * PRESENTED_WIDTH],
                    pixels + static_cast<size_t>(row) * pitchPixels, static_cast<size_t>(columns) * sizeof(uint16_t));
    g_presentCount++;
    // A copy, so that the hook may replace itself while it runs.
    std::function<void()> hook = g_presentHook;
    if (hook)
        hook();
}

void MessageBoxShown(const char* caption, const char* text, bool hasOwner)
{
    g_boxes.push_back({caption, text, hasOwner});
}

void MciNoticePosted(HWND window, WPARAM code, LPARAM deviceId)
{
    std::lock_guard<std::mutex> hold(g_noticesLock);
    g_notices.push_back(TestMciNotice{window, code, deviceId});
}

void SoundBufferCall(IDirectSoundBuffer* buffer, const char* call)
{
    if (std::strcmp(call, "Gone") == 0)
        g_soundCalls.erase(buffer); // its address may come back for another buffer
    else
        g_soundCalls[buffer].push_back(call);
}

void DeviceCreated(bool givenGuid)
{
    g_deviceCreationGuids.push_back(givenGuid);
}
} // namespace

void TestInstallRecorders()
{
    g_platformHooks.presented = Presented;
    g_platformHooks.messageBox = MessageBoxShown;
    g_platformHooks.mciNotice = MciNoticePosted;
    g_platformHooks.soundBufferCall = SoundBufferCall;
    g_platformHooks.deviceCreated = DeviceCreated;
}

void TestSetPresentHook(std::function<void()> hook)
{
    g_presentHook = std::move(hook);
}

const uint16_t* TestPresentedImage()
{
    return g_presentedImage.data();
}

int TestPresentCount()
{
    return g_presentCount;
}

void TestLoseAllSurfaces()
{
    LoseAllSurfaces();
}

const std::vector<TestMessageBox>& TestMessageBoxes()
{
    return g_boxes;
}

void TestClearMessageBoxes()
{
    g_boxes.clear();
}

std::vector<TestMciNotice> TestMciNotices()
{
    std::lock_guard<std::mutex> hold(g_noticesLock);
    return g_notices;
}

void TestClearMciNotices()
{
    std::lock_guard<std::mutex> hold(g_noticesLock);
    g_notices.clear();
}

int TestSoundBufferStarts(IDirectSoundBuffer* buffer)
{
    auto found = g_soundCalls.find(buffer);
    if (found == g_soundCalls.end())
        return 0;
    return static_cast<int>(std::count_if(found->second.begin(), found->second.end(),
                                          [](const char* call) { return std::strcmp(call, "Start") == 0; }));
}

std::vector<const char*> TestSoundBufferCalls(IDirectSoundBuffer* buffer)
{
    std::vector<const char*> calls;
    auto found = g_soundCalls.find(buffer);
    if (found != g_soundCalls.end())
        for (const char* call : found->second)
            if (std::strcmp(call, "Start") != 0)
                calls.push_back(call);
    return calls;
}

const std::vector<bool>& TestDeviceCreationGuids()
{
    return g_deviceCreationGuids;
}
