// Test read-back of the retained-mode objects (no library).
#include "testing_render.h"

int TestFrameVisualCount(IDirect3DRMFrame*) { return 0; }
bool TestFrameHasVisual(IDirect3DRMFrame*, IDirect3DRMVisual*) { return false; }
int TestFrameLightCount(IDirect3DRMFrame*) { return 0; }
int TestFrameChildCount(IDirect3DRMFrame*) { return 0; }
IDirect3DRMFrame* TestFrameParent(IDirect3DRMFrame*) { return nullptr; }
void TestFrameWorldMatrix(IDirect3DRMFrame*, float out[4][4])
{
    for (int r = 0; r < 4; r++)
        for (int c = 0; c < 4; c++)
            out[r][c] = r == c ? 1.0f : 0.0f;
}
int TestMeshFaceCount(IDirect3DRMMeshBuilder*) { return 0; }
int TestMeshVertexCount(IDirect3DRMMeshBuilder*) { return 0; }
bool TestTextureLoaded(IDirect3DRMTexture*) { return false; }
DWORD TestDeviceQuality(IDirect3DRMDevice*) { return 0; }
int TestLastRenderTriangleCount() { return 0; }
void TestCountPixelWrites(bool, int, int) {}
int TestPixelWriteCount(int, int) { return 0; }
