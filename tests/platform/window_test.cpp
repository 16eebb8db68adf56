// The window side: message order and synchronous sends, closing, pointer and buttons, the
// cursor counter, message boxes, and the kernel calls the game leans on.
#include "platform_internal.h"
#include "testing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen; // what the test window's procedure received, in order
bool g_forwardToDefault = false;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_seen.push_back({message, wParam, lParam});
    return g_forwardToDefault ? DefWindowProcA(window, message, wParam, lParam) : 0;
}

HWND MakeWindow()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = "TESTCLASS";
    RegisterClassA(&windowClass);
    g_seen.clear();
    return CreateWindowExA(0, "TESTCLASS", "TEST", WS_POPUP | WS_SYSMENU, 0, 0, 640, 480, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

std::vector<UINT> DrainQueue()
{
    std::vector<UINT> taken;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        taken.push_back(message.message);
        if (message.message == WM_QUIT)
            break;
        DispatchMessageA(&message);
    }
    return taken;
}
} // namespace

TEST(Platform2dWindow, MessagesComeOutInOrderWithQuitLastAndSendsAreSynchronous)
{
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(g_seen.size(), 1u); // WM_CREATE arrived before CreateWindowExA returned
    EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_CREATE));

    PostMessageA(window, static_cast<UINT>(0x0400), 1, 0);
    PostQuitMessage(7);
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageFromAnyThread(window, MM_MCINOTIFY, 1, 0);

    MSG peeked;
    ASSERT_TRUE(PeekMessageA(&peeked, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(peeked.message, static_cast<UINT>(0x0400)); // a look leaves it waiting
    std::vector<UINT> taken = DrainQueue();
    std::vector<UINT> expected = {static_cast<UINT>(0x0400), WM_KEYDOWN, MM_MCINOTIFY, WM_QUIT};
    EXPECT_EQ(taken, expected);
    EXPECT_EQ(g_seen.size(), 4u);
    EXPECT_FALSE(PeekMessageA(&peeked, nullptr, 0, 0, PM_REMOVE)); // the quit was taken once

    // Destroying sends WM_DESTROY at once; what was still posted to the window is dropped.
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    g_seen.clear();
    EXPECT_TRUE(DestroyWindow(window));
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(PeekMessageA(&peeked, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessageA(window, WM_CLOSE, 0, 0));
    EXPECT_FALSE(DestroyWindow(window));
}

TEST(Platform2dWindow, AltF4AndCloseRequestsEndInDestroyThroughTheDefaultProcedure)
{
    g_forwardToDefault = true;
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    g_seen.clear();
    SendMessageA(window, WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29);
    std::vector<UINT> order;
    for (const Seen& s : g_seen)
        order.push_back(s.message);
    std::vector<UINT> expected = {WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(PostMessageA(window, 0, 0, 0)); // gone

    // The close button arrives as a posted WM_CLOSE to the live window.
    window = MakeWindow();
    TestRequestClose();
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(message.hwnd, window);
    DestroyWindow(window);
    g_forwardToDefault = false;
}

TEST(Platform2dWindow, PointerIsPackedIntoLParamAndKeptOnTheDisplay)
{
    HWND window = MakeWindow();
    struct Move {
        int x, y, expectedX, expectedY;
    } moves[] = {{300, 200, 300, 200}, {700, -5, 639, 0}, {-40, 900, 0, 479}, {639, 479, 639, 479}};
    for (Move& move : moves) {
        TestMoveMouse(move.x, move.y);
        MSG message;
        ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(message.message, static_cast<UINT>(WM_MOUSEMOVE));
        EXPECT_EQ(message.lParam & 0xFFFF, move.expectedX);
        EXPECT_EQ((message.lParam >> 16) & 0xFFFF, move.expectedY);
    }
    TestPressKey(VK_ESCAPE);
    MSG key;
    ASSERT_TRUE(PeekMessageA(&key, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(key.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(key.wParam, static_cast<WPARAM>(VK_ESCAPE));

    EXPECT_EQ(GetKeyState(VK_LBUTTON) & 0x80, 0);
    TestSetMouseButton(VK_LBUTTON, true);
    EXPECT_EQ(GetKeyState(VK_LBUTTON) & 0x80, 0x80);
    EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
    EXPECT_EQ(GetKeyState(VK_RBUTTON), 0);
    TestSetMouseButton(VK_LBUTTON, false);
    EXPECT_EQ(GetKeyState(VK_LBUTTON), 0);

    // The display counter: hidden below zero, shown again only when it climbs back.
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    DestroyWindow(window);
}

TEST(Platform2dWindow, MessageBoxesAreDecodedFromCodePage932AndRecorded)
{
    TestClearMessageBoxes();
    // "エラー発生" and "ダイレクト" as code page 932 bytes.
    EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(1), "\x83\x5F\x83\x43\x83\x8C\x83\x4E\x83\x67",
                          "\x83\x47\x83\x89\x81\x5B\x94\xAD\x90\xB6", MB_OK),
              IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "plain", nullptr, MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "\x83", "", MB_OK), IDOK); // a lead byte with nothing after it
    const std::vector<TestMessageBox>& boxes = TestMessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].caption, "エラー発生");
    EXPECT_EQ(boxes[0].text, "ダイレクト");
    EXPECT_TRUE(boxes[0].hasOwner);
    EXPECT_EQ(boxes[1].caption, "Error");
    EXPECT_FALSE(boxes[1].hasOwner);
    EXPECT_EQ(boxes[2].caption, "");
    EXPECT_EQ(boxes[2].text, "\xEF\xBF\xBD");
}

TEST(Platform2dKernel, ModulePathClockMemoryAndPaths)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    ASSERT_GT(length, 0u);
    EXPECT_EQ(std::strlen(path), length);
    EXPECT_EQ(path[0], '\\');
    EXPECT_EQ(std::strchr(path, '/'), nullptr);
    // A short buffer gets a cut, terminated path and the buffer size back.
    char shortPath[6];
    std::memset(shortPath, 'x', sizeof(shortPath));
    EXPECT_EQ(GetModuleFileNameA(nullptr, shortPath, sizeof(shortPath)), sizeof(shortPath));
    EXPECT_EQ(std::string(shortPath), std::string(path, 5));
    EXPECT_EQ(NativePath("dir\\sub\\file.x"), "dir/sub/file.x");

    // Windows names ignore case: a file is found whatever case the game spells it in.
    std::string real = testing::TempDir() + "Mixed_Case.Wav";
    std::fclose(std::fopen(real.c_str(), "wb"));
    EXPECT_EQ(NativePath((testing::TempDir() + "mixed_case.wav").c_str()), real);

    TestUseManualClock(0xFFFFFFF0u);
    DWORD before = GetTickCount();
    TestAdvanceClock(32);
    EXPECT_EQ(GetTickCount(), 0x10u);
    EXPECT_EQ(GetTickCount() - before, 32u);

    unsigned char* memory = static_cast<unsigned char*>(GlobalAlloc(GMEM_ZEROINIT, 60));
    ASSERT_NE(memory, nullptr);
    for (int i = 0; i < 60; i++)
        ASSERT_EQ(memory[i], 0);
    EXPECT_EQ(GlobalFree(memory), nullptr);
}
