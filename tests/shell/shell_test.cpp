// The shell: button tracker, module directory, message loop, start-up failures, teardown.
#include <gtest/gtest.h>

#include "harness.h"

#include "base/shell_services.h"
#include "game/round.h"
#include "scene/scene_registry.h"
#include "shell/window_proc.h"
#include "shell/winmain.h"

#include <string>
#include <vector>

TEST(ShellButtonTracker, FollowsTheTransitionTable)
{
    struct Step {
        ButtonState from;
        bool down;
        ButtonState to;
    };
    const Step steps[] = {
        {Up, false, Up},        {Up, true, Pressed},   {Pressed, true, Held}, {Pressed, false, Released},
        {Released, true, Held}, {Released, false, Up}, {Held, true, Held},    {Held, false, Released},
    };
    for (const Step& step : steps) {
        TestSetMouseButton(VK_LBUTTON, step.down);
        ButtonState state = step.from;
        UpdateButtonState(VK_LBUTTON, state);
        EXPECT_EQ(state, step.to) << "from " << step.from << (step.down ? " down" : " up");
    }
    // Each button is polled on its own.
    TestSetMouseButton(VK_LBUTTON, true);
    TestSetMouseButton(VK_RBUTTON, false);
    ButtonState right = Up;
    UpdateButtonState(VK_RBUTTON, right);
    EXPECT_EQ(right, Up);
}

TEST(ShellModuleDirectory, IsTheExecutablesDirectoryWithItsBackslash)
{
    std::string first = GetModuleDirectory();
    std::string second = GetModuleDirectory();
    EXPECT_EQ(first, second);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back(), '\\');

    char full[256] = {};
    GetModuleFileNameA(g_hInstance, full, sizeof(full));
    std::string path = full;
    EXPECT_EQ(path.substr(0, path.rfind('\\') + 1), first);

    // A name without any backslash (here none at all, from a foreign module) leaves nothing.
    HINSTANCE own = g_hInstance;
    g_hInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x1234));
    EXPECT_STREQ(GetModuleDirectory(), "");
    g_hInstance = own;
}

// Everything queued between two frames is handled before the second one runs.
TEST(ShellLoop, HandlesEveryPendingMessageBeforeTheNextFrame)
{
    int checkedX = -1, checkedY = -1;
    GameScript script;
    script.maxFrames = 12;
    script.onFrame = [&](int frame, GameScript&) {
        if (frame == 1)
            TestSetMouseButton(VK_LBUTTON, true); // leave the title so the pointer is not reset
        if (frame == 8) {
            for (int i = 0; i < 50; i++)
                TestMoveMouse(i, 400 - i);
            TestPressKey('A'); // other keys do nothing
        }
        if (frame == 9) {
            checkedX = g_mouseX;
            checkedY = g_mouseY;
        }
    };
    EXPECT_EQ(RunGame(script), 1);
    EXPECT_EQ(checkedX, 49);
    EXPECT_EQ(checkedY, 351);
    EXPECT_EQ(TestPresentCount(), 12);
}

TEST(ShellLoop, FrameDeltaSurvivesTickWrapAndLongStalls)
{
    std::vector<float> deltas;
    GameScript script;
    script.maxFrames = 4;
    script.onFrame = [&](int frame, GameScript& self) {
        deltas.push_back(g_frameDelta);
        if (frame == 1)
            TestUseManualClock(0xFFFFFFF8u); // the next advance of 16 ms wraps the counter
        if (frame == 2)
            self.frameMs = 5000; // the clock moves on after the next frame
    };
    EXPECT_EQ(RunGame(script), 1);
    ASSERT_EQ(deltas.size(), 4u);
    EXPECT_EQ(deltas[0], 0.0f); // the clock has not moved since start-up
    EXPECT_EQ(deltas[2], 0.016f);
    EXPECT_EQ(deltas[3], 5.0f);
}

// Escape releases the registry before the close; closing the window alone does not.
TEST(ShellClose, EscapeReleasesTheSceneRegistry)
{
    LPDIRECT3DRMFRAME aim = nullptr;
    LPDIRECT3DRMMESHBUILDER meteor = nullptr;
    GameScript script;
    script.onFrame = [&](int frame, GameScript&) {
        if (frame == 2) {
            aim = g_frames[SLOT_AIM];
            meteor = g_meshes[SLOT_METEOR];
            aim->AddRef();
            meteor->AddRef();
            TestPressKey(VK_ESCAPE);
        }
    };
    EXPECT_EQ(RunGame(script), 1);
    ASSERT_TRUE(aim && meteor);
    EXPECT_EQ(aim->RefCount(), 1u); // ours alone
    EXPECT_EQ(meteor->RefCount(), 1u);
    aim->Release();
    meteor->Release();
}

TEST(ShellClose, WindowCloseLeavesTheSceneRegistry)
{
    LPDIRECT3DRMFRAME aim = nullptr;
    LPDIRECT3DRMMESHBUILDER meteor = nullptr;
    GameScript script;
    script.onFrame = [&](int frame, GameScript&) {
        if (frame == 2) {
            aim = g_frames[SLOT_AIM];
            meteor = g_meshes[SLOT_METEOR];
            aim->AddRef();
            meteor->AddRef();
            TestRequestClose();
        }
    };
    EXPECT_EQ(RunGame(script), 1);
    ASSERT_TRUE(aim && meteor);
    EXPECT_EQ(aim->RefCount(), 2u); // the registry's and ours
    EXPECT_EQ(meteor->RefCount(), 2u);
    aim->Release();
    meteor->Release();
}

TEST(ShellClose, EscapeTwiceReleasesOnce)
{
    GameScript script;
    script.onFrame = [&](int frame, GameScript&) {
        if (frame == 2) {
            TestPressKey(VK_ESCAPE);
            TestPressKey(VK_ESCAPE);
        }
    };
    EXPECT_EQ(RunGame(script), 1);
}

struct StartupFailure {
    const char* name;
    FailPoint point;
    std::vector<std::pair<std::string, std::string>> boxes; // caption, text
};

// Shown by name in test listings, so that they read the same from build to build.
void PrintTo(const StartupFailure& failure, std::ostream* out)
{
    *out << failure.name;
}

class ShellStartup : public testing::TestWithParam<StartupFailure> { };

TEST_P(ShellStartup, ShowsItsBoxesInOrderAndEndsWithZero)
{
    TestFailNext(GetParam().point);
    EXPECT_EQ(RunGame(GameScript()), 0);
    std::vector<std::pair<std::string, std::string>> shown;
    for (const TestMessageBox& box : TestMessageBoxes())
        shown.emplace_back(box.caption, box.text);
    EXPECT_EQ(shown, GetParam().boxes);
    EXPECT_EQ(TestPresentCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ShellStartup,
    testing::Values(
        StartupFailure{"Window", FailPoint::CreateWindow, {}},
        StartupFailure{"DisplayObject", FailPoint::DirectDrawCreate, {{"", "ダイレクトドローの初期化に失敗しました"}}},
        StartupFailure{"CooperativeLevel",
                       FailPoint::SetCooperativeLevel,
                       {{"エラー発生", "フルスクリーン化できません"}, {"", "ダイレクトドローの初期化に失敗しました"}}},
        StartupFailure{"DisplayMode",
                       FailPoint::SetDisplayMode,
                       {{"エラー発生", "解像度が変更できません"}, {"", "ダイレクトドローの初期化に失敗しました"}}},
        StartupFailure{"PrimarySurface",
                       FailPoint::CreatePrimarySurface,
                       {{"エラー発生", "プライマリィサーフェースが生成できません"},
                        {"", "ダイレクトドローの初期化に失敗しました"}}},
        StartupFailure{
            "BackBuffer",
            FailPoint::GetAttachedSurface,
            {{"エラー発生", "バックバッファが生成できません"}, {"", "ダイレクトドローの初期化に失敗しました"}}}),
    [](const testing::TestParamInfo<StartupFailure>& info) { return std::string(info.param.name); });
