// The retained-mode renderer's objects: renderer, root frame, camera, device and viewport.
#pragma once

#include "d3drm.h"

extern LPDIRECT3DRM g_d3drm;            // every other 3D object is made through it
extern LPDIRECT3DRMFRAME g_scene;       // root frame; the reference for all placement
extern LPDIRECT3DRMFRAME g_camera;      // the viewport looks along its z axis
extern LPDIRECT3DRMDEVICE g_device;     // draws into the back buffer
extern LPDIRECT3DRMVIEWPORT g_viewport; // the whole device, seen from g_camera

bool InitRenderer(HWND window);
const GUID* FindRenderDevice(); // the found device, or null when the search failed
void ReleaseRenderer();
