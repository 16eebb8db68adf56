// Shared set-up for the renderer tests and benchmarks: a 640 x 480 surface with device, viewport
// and camera, and writers for small .x models and bitmaps in a scratch folder.
#pragma once

#include "d3drm.h"
#include "ddraw.h"
#include "platform_internal.h"

#include <cstdint>
#include <string>
#include <vector>

struct RenderFixture {
    IDirectDraw* dd = nullptr;
    IDirectDrawSurface* surface = nullptr;
    IDirect3DRM* rm = nullptr;
    IDirect3DRMFrame* scene = nullptr;
    IDirect3DRMFrame* camera = nullptr;
    IDirect3DRMDevice* device = nullptr;
    IDirect3DRMViewport* viewport = nullptr;

    // Gouraud quality, back plane at 400; a failing step is a test failure.
    explicit RenderFixture(int width = 640, int height = 480);
    ~RenderFixture();
    RenderFixture(const RenderFixture&) = delete;
    RenderFixture& operator=(const RenderFixture&) = delete;

    SurfacePixels Pixels();
    uint16_t Pixel(int x, int y);
    int CountNot(uint16_t colour);
    void Draw(); // clear, render the scene, update
    // A frame under the scene showing the mesh; the scene keeps both.
    IDirect3DRMFrame* Show(IDirect3DRMMeshBuilder* mesh, float x, float y, float z);
    void AddAmbient(float level);
};

std::string ScratchPath(const std::string& name);

struct XFace {
    int a, b, c;
};

// A text .x model; `colours` (one per face, or empty for no material list) become materials.
std::string WriteXModel(const std::string& name, const std::vector<float>& xyz, const std::vector<XFace>& faces,
                        const std::vector<float>& colours = {});
// A unit-radius latitude-longitude sphere: front faces outward, or inward for a sky.
std::string WriteSphere(const std::string& name, int rings, int segments, bool inward);
// A 24-bit bottom-up bitmap from 0x00RRGGBB pixels given top row first.
std::string WriteBitmap(const std::string& name, int width, int height, const std::vector<uint32_t>& pixels);
IDirect3DRMMeshBuilder* LoadMesh(IDirect3DRM* rm, const std::string& path, HRESULT* result = nullptr);
