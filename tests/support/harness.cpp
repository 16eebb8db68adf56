// The real game loop run headless through its scripted seams.
#include "harness.h"

int RunGame(GameScript script)
{
    int frame = 0;
    TestUseManualClock(script.startMs);
    TestSetPresentHook([&]() {
        frame++;
        TestAdvanceClock(script.frameMs);
        if (script.onFrame)
            script.onFrame(frame, script);
        if (frame == script.maxFrames)
            TestPressKey(VK_ESCAPE);
    });
    char commandLine[] = "";
    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
    TestSetPresentHook(nullptr);
    return exitCode;
}

uint16_t PresentedPixel(int x, int y)
{
    return TestPresentedImage()[y * 640 + x];
}

int CountPresentedPixelsNot(uint16_t colour, int left, int top, int right, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom; y++)
        for (int x = left; x < right; x++)
            if (PresentedPixel(x, y) != colour)
                count++;
    return count;
}
