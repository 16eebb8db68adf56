// Renderer bring-up and teardown: renderer object, root frame, camera, device and viewport.
#include "scene/renderer.h"

#include "base/shell_services.h"
#include "display/display.h"

#include <cstring>

LPDIRECT3DRM g_d3drm;            // made first, released last
LPDIRECT3DRMFRAME g_scene;       // the root; parent of the camera and of every world frame
LPDIRECT3DRMFRAME g_camera;      // child of g_scene
LPDIRECT3DRMDEVICE g_device;     // renders into g_backBuffer
LPDIRECT3DRMVIEWPORT g_viewport; // the whole device, seen from g_camera

// The 32-bit Windows sizes of the device search records.
constexpr DWORD FIND_SEARCH_SIZE = 92;
constexpr DWORD FIND_RESULT_SIZE = 524;

constexpr D3DVALUE FAR_PLANE = 400.0f;
constexpr D3DCOLOR SCENE_BACKGROUND = 0xFF000000; // opaque black

static GUID s_foundDevice; // the device search's answer, kept while InitRenderer uses it

static bool RendererBox(HWND window, const char* text)
{
    MessageBoxA(window, text, "", MB_OK);
    return false;
}

static void SearchBox(const char* text)
{
    MessageBoxA(g_hWnd, text, "初期化", MB_OK);
}

const GUID* FindRenderDevice()
{
    // A second display object, only for the search.
    LPDIRECTDRAW directDraw = nullptr;
    if (FAILED(DirectDrawCreate(nullptr, &directDraw, nullptr)) || !directDraw) {
        SearchBox("ダイレクトドローオブジェクトの生成に失敗しました");
        return nullptr;
    }
    LPDIRECT3D direct3D = nullptr;
    if (FAILED(directDraw->QueryInterface(IID_IDirect3D, reinterpret_cast<void**>(&direct3D))) || !direct3D) {
        SearchBox("ダイレクト３Ｄオブジェクトの生成に失敗しました");
        directDraw->Release();
        return nullptr;
    }

    D3DFINDDEVICESEARCH search;
    memset(&search, 0, sizeof(search));
    search.dwSize = FIND_SEARCH_SIZE;
    search.dwFlags = D3DFDS_COLORMODEL;
    search.bHardware = FALSE;
    search.dcmColorModel = D3DCOLOR_RGB;
    D3DFINDDEVICERESULT result;
    memset(&result, 0, sizeof(result));
    result.dwSize = FIND_RESULT_SIZE;
    if (FAILED(direct3D->FindDevice(&search, &result))) {
        SearchBox("デバイスの列挙に失敗しました");
        directDraw->Release();
        direct3D->Release();
        return nullptr;
    }
    s_foundDevice = result.guid;
    directDraw->Release();
    direct3D->Release();
    return &s_foundDevice;
}

bool InitRenderer(HWND window)
{
    if (Direct3DRMCreate(&g_d3drm) != D3DRM_OK || !g_d3drm)
        return RendererBox(window, "ダイレクト３Ｄオブジェクトの生成に失敗しました");
    if (FAILED(g_d3drm->CreateFrame(nullptr, &g_scene)) || !g_scene)
        return RendererBox(window, "シーンの生成に失敗");
    if (FAILED(g_d3drm->CreateFrame(g_scene, &g_camera)) || !g_camera)
        return RendererBox(window, "カメラの生成に失敗");

    const GUID* found = FindRenderDevice();
    GUID device;
    if (found)
        device = *found;
    if (FAILED(g_d3drm->CreateDeviceFromSurface(found ? &device : nullptr, g_directDraw, g_backBuffer, &g_device)) ||
        !g_device) {
        // The found device is out of reach; the renderer's default device may still do.
        RendererBox(window, "デバイスの生成に失敗、ＨＡＬでの実行は不可能です");
        g_device = nullptr;
        if (FAILED(g_d3drm->CreateDeviceFromSurface(nullptr, g_directDraw, g_backBuffer, &g_device)) || !g_device) {
            g_device = nullptr;
            return RendererBox(window, "ＨＥＬでの、デバイスの生成に失敗、Direct3Dの使用は不可能です");
        }
    }

    if (FAILED(g_d3drm->CreateViewport(g_device, g_camera, 0, 0, g_device->GetWidth(), g_device->GetHeight(),
                                       &g_viewport)) ||
        !g_viewport)
        return RendererBox(window, "ビューポートの生成に失敗");

    // One back buffer, copied to the screen once per frame.
    g_device->SetBufferCount(1);
    g_viewport->SetBack(FAR_PLANE);
    g_viewport->SetFront(0.0f);
    g_scene->SetSceneBackground(SCENE_BACKGROUND);
    return true;
}

void ReleaseRenderer()
{
    if (!g_d3drm)
        return;
    // The device goes before the surfaces it draws into, which the display releases next.
    if (g_viewport)
        g_viewport->Release();
    if (g_device)
        g_device->Release();
    if (g_camera)
        g_camera->Release();
    if (g_scene)
        g_scene->Release();
    g_d3drm->Release();
}
