// Read-back of the retained-mode objects for the tests: what a frame holds, where it is, what a
// mesh contains and what the last Render drew. The game never includes this.
#pragma once

#include "d3drm.h"

#include <vector>

// Frames.
int TestFrameVisualCount(IDirect3DRMFrame* frame);
bool TestFrameHasVisual(IDirect3DRMFrame* frame, IDirect3DRMVisual* visual);
int TestFrameLightCount(IDirect3DRMFrame* frame);
int TestFrameChildCount(IDirect3DRMFrame* frame);
IDirect3DRMFrame* TestFrameParent(IDirect3DRMFrame* frame);
// Row vectors, translation in the last row; identity for a null frame.
void TestFrameWorldMatrix(IDirect3DRMFrame* frame, float out[4][4]);

// Meshes and textures.
int TestMeshFaceCount(IDirect3DRMMeshBuilder* mesh); // triangles; 0 for an empty builder
int TestMeshVertexCount(IDirect3DRMMeshBuilder* mesh);
bool TestTextureLoaded(IDirect3DRMTexture* texture); // true once pixels were decoded
DWORD TestDeviceQuality(IDirect3DRMDevice* device);
// Whether each IDirect3DRM::CreateDeviceFromSurface call so far was given a device GUID.
const std::vector<bool>& TestDeviceCreationGuids();

// What the last IDirect3DRMViewport::Render drew (after culling and clipping), over all viewports.
int TestLastRenderTriangleCount();

// Pixel-write counting: while on, every pixel the rasteriser writes bumps a per-pixel counter of
// a width x height grid (the device's surface size), so a test can check each pixel is painted
// exactly once. Turning it on clears the counters; turning it off keeps them readable.
void TestCountPixelWrites(bool on, int width, int height);
int TestPixelWriteCount(int x, int y);

// Threads that devices made from now on draw with (0: one per core, as in the game).
void TestSetRenderThreads(int threads);
// Whether decal spans over transparent texels only are drawn out instead of passed over (the
// picture must be the same either way).
void TestDrawTransparentSpans(bool on);
