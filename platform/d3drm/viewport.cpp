// The device (a DirectDraw surface with a depth buffer) and the viewport: clearing, drawing and
// the projection that Transform shares with drawing (our own software rasteriser).
#include "d3drm_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Far beyond any world the game builds; keeps every product finite.
const float COORDINATE_LIMIT = 1e15f;

float ClampCoordinate(float v)
{
    if (!(v > -COORDINATE_LIMIT))
        return -COORDINATE_LIMIT; // also NaN
    return v < COORDINATE_LIMIT ? v : COORDINATE_LIMIT;
}

uint16_t BackgroundPixel(const FrameObject* camera)
{
    const FrameObject* root = camera;
    while (root->parent)
        root = root->parent;
    D3DCOLOR c = root->background;
    return PackRgb565((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

} // namespace

HRESULT DeviceObject::SetQuality(D3DRMRENDERQUALITY value)
{
    quality = value;
    return D3DRM_OK;
}

HRESULT DeviceObject::SetBufferCount(DWORD)
{
    return D3DRM_OK; // we always draw straight into the one surface
}

DWORD DeviceObject::GetWidth()
{
    return static_cast<DWORD>(width);
}

DWORD DeviceObject::GetHeight()
{
    return static_cast<DWORD>(height);
}

HRESULT DeviceObject::Update()
{
    return D3DRM_OK; // Render has already drawn into the surface
}

ViewportObject::~ViewportObject()
{
    if (camera)
        camera->Release();
    if (device)
        device->Release();
}

HRESULT ViewportObject::SetFront(D3DVALUE value)
{
    if (!(value > 0.0f) || !std::isfinite(value) || !(value < back))
        return D3DRMERR_BADVALUE; // a perspective view needs a front plane ahead of the camera
    front = value;
    return D3DRM_OK;
}

HRESULT ViewportObject::SetBack(D3DVALUE value)
{
    if (!std::isfinite(value) || !(value > front))
        return D3DRMERR_BADVALUE;
    back = value;
    return D3DRM_OK;
}

HRESULT ViewportObject::Clear()
{
    SurfacePixels surface;
    if (!GetSurfacePixels(device->surface, &surface))
        return D3DRMERR_BADDEVICE;
    uint16_t fill = BackgroundPixel(camera);
    int right = std::min(left + width, surface.width);
    int bottom = std::min(top + height, surface.height);
    size_t depthPitch = static_cast<size_t>(surface.pitchPixels);
    if (device->depth.size() < depthPitch * surface.height)
        device->depth.assign(depthPitch * surface.height, 0.0f);
    if (left >= right || top >= bottom)
        return D3DRM_OK;
    // Whole rows at once when the viewport spans the surface.
    size_t rowPixels = static_cast<size_t>(right - left);
    int rows = bottom - top;
    if (left == 0 && rowPixels == static_cast<size_t>(surface.pitchPixels)) {
        rowPixels *= static_cast<size_t>(rows);
        rows = 1;
    }
    for (int y = top; y < top + rows; y++)
        FillPixels(surface.pixels + static_cast<size_t>(y) * surface.pitchPixels + left, rowPixels, fill);
    // Only drawing reads the depth buffer, so the drawing threads empty it, each in its own rows.
    device->ClearDepthLater(left, top, right, bottom, depthPitch);
    return D3DRM_OK;
}

void DeviceObject::ClearDepthLater(int left, int top, int right, int bottom, size_t pitch)
{
    if (left != depthClearLeft || top != depthClearTop || right != depthClearRight || bottom != depthClearBottom ||
        pitch != depthClearPitch)
        ClearDepthRows(depthClearTop, depthClearBottom);
    depthClearLeft = left;
    depthClearTop = top;
    depthClearRight = right;
    depthClearBottom = bottom;
    depthClearPitch = pitch;
}

void DeviceObject::ClearDepthRows(int top, int bottom)
{
    top = std::max(top, depthClearTop);
    bottom = std::min(bottom, depthClearBottom);
    if (depthClearLeft >= depthClearRight)
        return;
    // The empty value has all bits clear: a plain byte fill, whole rows at once where it can.
    const size_t left = static_cast<size_t>(depthClearLeft), count = static_cast<size_t>(depthClearRight) - left;
    if (left == 0 && count == depthClearPitch && top < bottom) {
        std::memset(depth.data() + static_cast<size_t>(top) * depthClearPitch, 0,
                    count * static_cast<size_t>(bottom - top) * sizeof(float));
        return;
    }
    for (int y = top; y < bottom; y++)
        std::memset(depth.data() + static_cast<size_t>(y) * depthClearPitch + left, 0, count * sizeof(float));
}

HRESULT ViewportObject::Render(LPDIRECT3DRMFRAME frame)
{
    FrameObject* root = AsFrame(frame);
    if (!root)
        return D3DRMERR_BADOBJECT;
    return RenderHierarchy(this, root);
}

// Field is the half-size of the front plane's window across the larger viewport side.
RasterView ViewportProjection(const ViewportObject* viewport)
{
    RasterView view;
    view.scale =
        0.5f * static_cast<float>(std::max(viewport->width, viewport->height)) * viewport->front / viewport->field;
    view.centreX = static_cast<float>(viewport->left) + 0.5f * static_cast<float>(viewport->width);
    view.centreY = static_cast<float>(viewport->top) + 0.5f * static_cast<float>(viewport->height);
    view.front = viewport->front;
    view.back = viewport->back;
    return view;
}

// Homogeneous screen point with w = camera-space z: x / w and y / w are the pixels, z / w runs
// from 0 at the front plane to 1 at the back plane. Points at or behind the camera come back as
// computed (w <= 0); everything stays finite.
HRESULT ViewportObject::Transform(LPD3DRMVECTOR4D out, LPD3DVECTOR in)
{
    if (!out || !in)
        return D3DRMERR_BADVALUE;
    Vec3 world = MakeVec3(ClampCoordinate(in->x), ClampCoordinate(in->y), ClampCoordinate(in->z));
    Vec3 p = TransformPoint(world, InverseRigid(FrameWorldMatrix(camera)));
    RasterView view = ViewportProjection(this);
    out->w = p.z;
    out->x = view.centreX * p.z + view.scale * p.x;
    out->y = view.centreY * p.z - view.scale * p.y;
    out->z = (p.z - view.front) * (view.back / (view.back - view.front));
    return D3DRM_OK;
}
