// Renderer bring-up failures and their boxes; release orders of the renderer and the registry.
#include <gtest/gtest.h>

#include "harness.h"

#include "scene/renderer.h"
#include "scene/scene_registry.h"
#include "testing_render.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_releaseLog;

// Stand-in objects that note when they are freed.
struct Logged {
    std::string name;
    ~Logged() { g_releaseLog.push_back(name); }
};

struct FakeFrame : IDirect3DRMFrame, Logged {
    HRESULT AddLight(LPDIRECT3DRMLIGHT) override { return S_OK; }
    HRESULT AddVisual(LPDIRECT3DRMVISUAL) override { return S_OK; }
    HRESULT DeleteVisual(LPDIRECT3DRMVISUAL) override { return S_OK; }
    HRESULT SetPosition(LPDIRECT3DRMFRAME, D3DVALUE, D3DVALUE, D3DVALUE) override { return S_OK; }
    HRESULT GetPosition(LPDIRECT3DRMFRAME, LPD3DVECTOR) override { return S_OK; }
    HRESULT SetOrientation(LPDIRECT3DRMFRAME, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE) override
    {
        return S_OK;
    }
    HRESULT GetOrientation(LPDIRECT3DRMFRAME, LPD3DVECTOR, LPD3DVECTOR) override { return S_OK; }
    HRESULT AddRotation(D3DRMCOMBINETYPE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE) override { return S_OK; }
    HRESULT LookAt(LPDIRECT3DRMFRAME, LPDIRECT3DRMFRAME, D3DRMFRAMECONSTRAINT) override { return S_OK; }
    HRESULT SetSceneBackground(D3DCOLOR) override { return S_OK; }
};

struct FakeMesh : IDirect3DRMMeshBuilder, Logged {
    HRESULT Load(LPVOID, LPVOID, D3DRMLOADOPTIONS, D3DRMLOADTEXTURECALLBACK, LPVOID) override { return S_OK; }
    HRESULT Scale(D3DVALUE, D3DVALUE, D3DVALUE) override { return S_OK; }
    HRESULT SetTexture(LPDIRECT3DRMTEXTURE) override { return S_OK; }
};

struct FakeTexture : IDirect3DRMTexture, Logged {
    HRESULT SetDecalTransparency(BOOL) override { return S_OK; }
    HRESULT SetDecalTransparentColor(D3DCOLOR) override { return S_OK; }
};

struct FakeDevice : IDirect3DRMDevice, Logged {
    HRESULT SetQuality(D3DRMRENDERQUALITY) override { return S_OK; }
    HRESULT SetBufferCount(DWORD) override { return S_OK; }
    DWORD GetWidth() override { return 640; }
    DWORD GetHeight() override { return 480; }
    HRESULT Update() override { return S_OK; }
};

struct FakeViewport : IDirect3DRMViewport, Logged {
    HRESULT SetFront(D3DVALUE) override { return S_OK; }
    HRESULT SetBack(D3DVALUE) override { return S_OK; }
    HRESULT Clear() override { return S_OK; }
    HRESULT Render(LPDIRECT3DRMFRAME) override { return S_OK; }
    HRESULT Transform(LPD3DRMVECTOR4D, LPD3DVECTOR) override { return S_OK; }
};

struct FakeRenderer : IDirect3DRM, Logged {
    HRESULT CreateFrame(LPDIRECT3DRMFRAME, LPDIRECT3DRMFRAME*) override { return E_FAIL; }
    HRESULT CreateMeshBuilder(LPDIRECT3DRMMESHBUILDER*) override { return E_FAIL; }
    HRESULT CreateDeviceFromSurface(LPGUID, LPDIRECTDRAW, LPDIRECTDRAWSURFACE, LPDIRECT3DRMDEVICE*) override
    {
        return E_FAIL;
    }
    HRESULT CreateViewport(LPDIRECT3DRMDEVICE, LPDIRECT3DRMFRAME, DWORD, DWORD, DWORD, DWORD,
                           LPDIRECT3DRMVIEWPORT*) override
    {
        return E_FAIL;
    }
    HRESULT LoadTexture(const char*, LPDIRECT3DRMTEXTURE*) override { return E_FAIL; }
    HRESULT CreateWrap(D3DRMWRAPTYPE, LPDIRECT3DRMFRAME, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE,
                       D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, LPDIRECT3DRMWRAP*) override
    {
        return E_FAIL;
    }
    HRESULT CreateLightRGB(D3DRMLIGHTTYPE, D3DVALUE, D3DVALUE, D3DVALUE, LPDIRECT3DRMLIGHT*) override { return E_FAIL; }
};

template <typename T> T* Make(const std::string& name)
{
    T* object = new T;
    object->name = name;
    return object;
}

} // namespace

TEST(SceneRelease, RendererGoesViewportFirstAndRendererLast)
{
    g_releaseLog.clear();
    g_viewport = Make<FakeViewport>("viewport");
    g_device = Make<FakeDevice>("device");
    g_camera = Make<FakeFrame>("camera");
    g_scene = Make<FakeFrame>("scene");
    // Without the renderer object nothing is released.
    ReleaseRenderer();
    EXPECT_TRUE(g_releaseLog.empty());

    g_d3drm = Make<FakeRenderer>("renderer");
    ReleaseRenderer();
    EXPECT_EQ(g_releaseLog, (std::vector<std::string>{"viewport", "device", "camera", "scene", "renderer"}));
}

TEST(SceneRelease, RegistryGoesFramesThenMeshesThenTexturesSkippingEmptySlots)
{
    g_releaseLog.clear();
    g_frames[3] = Make<FakeFrame>("frame 3");
    g_frames[60] = Make<FakeFrame>("frame 60");
    g_meshes[0] = Make<FakeMesh>("mesh 0");
    g_meshes[8] = Make<FakeMesh>("mesh 8");
    g_textures[5] = Make<FakeTexture>("texture 5");
    // Held once more by the test, so the entries can be checked afterwards.
    g_frames[60]->AddRef();
    ReleaseSceneRegistry();
    EXPECT_EQ(g_releaseLog, (std::vector<std::string>{"frame 3", "mesh 0", "mesh 8", "texture 5"}));
    EXPECT_EQ(g_frames[60]->RefCount(), 1u);
    g_frames[60]->Release();
    EXPECT_EQ(g_releaseLog.back(), "frame 60");
}

struct RendererFailure {
    const char* name;
    FailPoint point;
    int skip;
    int times;
    std::vector<std::pair<std::string, std::string>> boxes; // caption, text
    int exitCode;
};

// Shown by name in test listings, so that they read the same from build to build.
void PrintTo(const RendererFailure& failure, std::ostream* out)
{
    *out << failure.name;
}

class SceneRendererBringUp : public testing::TestWithParam<RendererFailure> { };

TEST_P(SceneRendererBringUp, ShowsItsBoxesAndStartsOrEnds)
{
    const RendererFailure& failure = GetParam();
    TestFailNext(failure.point, failure.times, failure.skip);
    GameScript script;
    script.maxFrames = 2;
    EXPECT_EQ(RunGame(script), failure.exitCode);
    std::vector<std::pair<std::string, std::string>> shown;
    for (const TestMessageBox& box : TestMessageBoxes()) {
        shown.emplace_back(box.caption, box.text);
        EXPECT_TRUE(box.hasOwner);
    }
    EXPECT_EQ(shown, failure.boxes);
    EXPECT_EQ(TestPresentCount(), failure.exitCode == 1 ? 2 : 0);
    if (failure.point == FailPoint::CreateDeviceFromSurface && failure.times == 2) {
        EXPECT_EQ(g_viewport, nullptr);
    }
}

static const char* const D3D_FAILED = "ダイレクト３Ｄの初期化に失敗しました";
static const char* const HAL_BOX = "デバイスの生成に失敗、ＨＡＬでの実行は不可能です";
static const char* const HEL_BOX = "ＨＥＬでの、デバイスの生成に失敗、Direct3Dの使用は不可能です";

INSTANTIATE_TEST_SUITE_P(
    Steps, SceneRendererBringUp,
    testing::Values(
        // The device search: the game still starts, on the renderer's own device.
        RendererFailure{"DeviceSearch", FailPoint::FindDevice, 0, 1, {{"初期化", "デバイスの列挙に失敗しました"}}, 1},
        RendererFailure{"SearchDisplayObject",
                        FailPoint::DirectDrawCreate,
                        1,
                        1,
                        {{"初期化", "ダイレクトドローオブジェクトの生成に失敗しました"}},
                        1},
        RendererFailure{"SearchDirect3D",
                        FailPoint::QueryDirect3D,
                        0,
                        1,
                        {{"初期化", "ダイレクト３Ｄオブジェクトの生成に失敗しました"}},
                        1},
        // Device creation falls back once.
        RendererFailure{"FoundDevice", FailPoint::CreateDeviceFromSurface, 0, 1, {{"", HAL_BOX}}, 1},
        RendererFailure{"BothDevices",
                        FailPoint::CreateDeviceFromSurface,
                        0,
                        2,
                        {{"", HAL_BOX}, {"", HEL_BOX}, {"", D3D_FAILED}},
                        0},
        // Everything else ends the program.
        RendererFailure{"RendererObject",
                        FailPoint::Direct3DRMCreate,
                        0,
                        1,
                        {{"", "ダイレクト３Ｄオブジェクトの生成に失敗しました"}, {"", D3D_FAILED}},
                        0},
        RendererFailure{"RootFrame", FailPoint::CreateFrame, 0, 1, {{"", "シーンの生成に失敗"}, {"", D3D_FAILED}}, 0},
        RendererFailure{"CameraFrame", FailPoint::CreateFrame, 1, 1, {{"", "カメラの生成に失敗"}, {"", D3D_FAILED}}, 0},
        RendererFailure{
            "Viewport", FailPoint::CreateViewport, 0, 1, {{"", "ビューポートの生成に失敗"}, {"", D3D_FAILED}}, 0},
        // Scene building fails only for its lights.
        RendererFailure{"AmbientLight", FailPoint::CreateLightRGB, 0, 1, {{"", "シーンの初期化に失敗しました"}}, 0},
        RendererFailure{"DirectionalLight", FailPoint::CreateLightRGB, 1, 1, {{"", "シーンの初期化に失敗しました"}}, 0},
        RendererFailure{"LightFrame", FailPoint::CreateFrame, 2, 1, {{"", "シーンの初期化に失敗しました"}}, 0}),
    [](const testing::TestParamInfo<RendererFailure>& info) { return std::string(info.param.name); });

// The device search's GUID reaches the device creation; without it the renderer picks its own
// device, and the fallback after a failed creation always asks with no GUID.
struct DeviceCase {
    const char* name;
    FailPoint point; // Count: nothing fails
    std::vector<bool> guids;
};

void PrintTo(const DeviceCase& c, std::ostream* out)
{
    *out << c.name;
}

class SceneRendererDevice : public testing::TestWithParam<DeviceCase> { };

TEST_P(SceneRendererDevice, SearchResultOrNoGuidReachesTheDeviceCreation)
{
    const DeviceCase& c = GetParam();
    if (c.point != FailPoint::Count)
        TestFailNext(c.point);
    GameScript script;
    script.maxFrames = 2;
    EXPECT_EQ(RunGame(script), 1);
    EXPECT_EQ(TestDeviceCreationGuids(), c.guids);
}

INSTANTIATE_TEST_SUITE_P(Devices, SceneRendererDevice,
                         testing::Values(DeviceCase{"Found", FailPoint::Count, {true}},
                                         DeviceCase{"SearchFailed", FailPoint::FindDevice, {false}},
                                         DeviceCase{"FoundFailed", FailPoint::CreateDeviceFromSurface, {true, false}}),
                         [](const testing::TestParamInfo<DeviceCase>& info) { return std::string(info.param.name); });
