// Renderer bring-up and teardown: renderer object, root frame, camera, device and viewport.
#include "scene/renderer.h"

LPDIRECT3DRM g_d3drm;
LPDIRECT3DRMFRAME g_scene;
LPDIRECT3DRMFRAME g_camera;
LPDIRECT3DRMDEVICE g_device;
LPDIRECT3DRMVIEWPORT g_viewport;

bool InitRenderer(HWND window)
{
    (void)window;
    return false;
}

const GUID* FindRenderDevice()
{
    return nullptr;
}

void ReleaseRenderer() {}
