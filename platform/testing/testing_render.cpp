// Test read-back of the retained-mode objects, and pixel-write counting (no library).
#include "testing_render.h"

#include "d3drm_objects.h"
#include "hook_points.h"

#include <algorithm>

namespace {
std::vector<uint16_t> g_pixelWriteCounts; // one counter per pixel of the render target
int g_pixelWritePitch = 0;
} // namespace

int TestFrameVisualCount(IDirect3DRMFrame* frame)
{
    FrameObject* object = AsFrame(frame);
    return object ? static_cast<int>(object->visuals.size()) : 0;
}

bool TestFrameHasVisual(IDirect3DRMFrame* frame, IDirect3DRMVisual* visual)
{
    FrameObject* object = AsFrame(frame);
    return object && std::find(object->visuals.begin(), object->visuals.end(), visual) != object->visuals.end();
}

int TestFrameLightCount(IDirect3DRMFrame* frame)
{
    FrameObject* object = AsFrame(frame);
    return object ? static_cast<int>(object->lights.size()) : 0;
}

int TestFrameChildCount(IDirect3DRMFrame* frame)
{
    FrameObject* object = AsFrame(frame);
    return object ? static_cast<int>(object->children.size()) : 0;
}

IDirect3DRMFrame* TestFrameParent(IDirect3DRMFrame* frame)
{
    FrameObject* object = AsFrame(frame);
    return object ? object->parent : nullptr;
}

void TestFrameWorldMatrix(IDirect3DRMFrame* frame, float out[4][4])
{
    FrameObject* object = AsFrame(frame);
    Mat4 world = object ? FrameWorldMatrix(object) : Mat4();
    for (int r = 0; r < 4; r++)
        for (int c = 0; c < 4; c++)
            out[r][c] = world.m[r][c];
}

int TestMeshFaceCount(IDirect3DRMMeshBuilder* mesh)
{
    MeshBuilderObject* object = dynamic_cast<MeshBuilderObject*>(mesh);
    return object ? static_cast<int>(object->faces.size()) : 0;
}

int TestMeshVertexCount(IDirect3DRMMeshBuilder* mesh)
{
    MeshBuilderObject* object = dynamic_cast<MeshBuilderObject*>(mesh);
    return object ? static_cast<int>(object->positions.size()) : 0;
}

bool TestTextureLoaded(IDirect3DRMTexture* texture)
{
    TextureObject* object = dynamic_cast<TextureObject*>(texture);
    return object && object->loaded;
}

DWORD TestDeviceQuality(IDirect3DRMDevice* device)
{
    DeviceObject* object = dynamic_cast<DeviceObject*>(device);
    return object ? object->quality : 0;
}

int TestLastRenderTriangleCount()
{
    return LastRenderTriangles();
}

void TestCountPixelWrites(bool on, int width, int height)
{
    if (!on) {
        g_platformHooks.pixelWriteCounts = nullptr; // the counts stay readable
        g_platformHooks.pixelWriteCountSize = 0;
        return;
    }
    g_pixelWriteCounts.assign(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0), 0);
    g_pixelWritePitch = width;
    g_platformHooks.pixelWriteCounts = g_pixelWriteCounts.data();
    g_platformHooks.pixelWriteCountSize = g_pixelWriteCounts.size();
}

int TestPixelWriteCount(int x, int y)
{
    size_t at = static_cast<size_t>(y) * g_pixelWritePitch + x;
    if (x < 0 || y < 0 || x >= g_pixelWritePitch || at >= g_pixelWriteCounts.size())
        return 0;
    return g_pixelWriteCounts[at];
}

void TestSetRenderThreads(int threads)
{
    g_renderThreads = threads;
}

void TestDrawTransparentSpans(bool on)
{
    g_platformHooks.drawTransparentSpans = on;
}
