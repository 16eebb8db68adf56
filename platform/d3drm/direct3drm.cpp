// The renderer object: makes frames, meshes, devices, viewports, textures, wraps and lights (our
// own software renderer; models through our .x reader, bitmaps through the display helper's decoder).
#include "d3drm_objects.h"
#include "hook_points.h"
#include "platform_internal.h"
#include "unsupported.h"

#include <algorithm>
#include <cmath>

namespace {

float QuantiseColour(float v)
{
    if (!(v > 0.0f))
        return 0.0f; // also NaN
    if (v >= 1.0f)
        return 1.0f;
    return std::floor(255.0f * v) / 255.0f;
}

struct RendererObject final : IDirect3DRM {
    HRESULT CreateFrame(LPDIRECT3DRMFRAME parent, LPDIRECT3DRMFRAME* frame) override;
    HRESULT CreateMeshBuilder(LPDIRECT3DRMMESHBUILDER* meshBuilder) override;
    HRESULT CreateDeviceFromSurface(LPGUID guid, LPDIRECTDRAW directDraw, LPDIRECTDRAWSURFACE backBuffer,
                                    LPDIRECT3DRMDEVICE* device) override;
    HRESULT CreateViewport(LPDIRECT3DRMDEVICE device, LPDIRECT3DRMFRAME camera, DWORD x, DWORD y, DWORD width,
                           DWORD height, LPDIRECT3DRMVIEWPORT* viewport) override;
    HRESULT LoadTexture(const char* fileName, LPDIRECT3DRMTEXTURE* texture) override;
    HRESULT CreateWrap(D3DRMWRAPTYPE type, LPDIRECT3DRMFRAME reference, D3DVALUE ox, D3DVALUE oy, D3DVALUE oz,
                       D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux, D3DVALUE uy, D3DVALUE uz, D3DVALUE ou,
                       D3DVALUE ov, D3DVALUE su, D3DVALUE sv, LPDIRECT3DRMWRAP* wrap) override;
    HRESULT CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE red, D3DVALUE green, D3DVALUE blue,
                           LPDIRECT3DRMLIGHT* light) override;
};

HRESULT RendererObject::CreateFrame(LPDIRECT3DRMFRAME parent, LPDIRECT3DRMFRAME* frame)
{
    if (!frame)
        return D3DRMERR_BADVALUE;
    *frame = nullptr;
    FrameObject* parentObject = nullptr;
    if (parent && !(parentObject = AsFrame(parent)))
        return D3DRMERR_BADOBJECT;
    if (FailureInjected(FailPoint::CreateFrame))
        return D3DRMERR_BADALLOC;
    FrameObject* made = new FrameObject();
    if (parentObject) {
        made->parent = parentObject;
        made->AddRef(); // the parent's reference
        parentObject->children.push_back(made);
    }
    *frame = made;
    return D3DRM_OK;
}

HRESULT RendererObject::CreateMeshBuilder(LPDIRECT3DRMMESHBUILDER* meshBuilder)
{
    if (!meshBuilder)
        return D3DRMERR_BADVALUE;
    *meshBuilder = nullptr;
    if (FailureInjected(FailPoint::CreateMeshBuilder))
        return D3DRMERR_BADALLOC;
    *meshBuilder = new MeshBuilderObject();
    return D3DRM_OK;
}

HRESULT RendererObject::CreateDeviceFromSurface(LPGUID guid, LPDIRECTDRAW directDraw, LPDIRECTDRAWSURFACE backBuffer,
                                                LPDIRECT3DRMDEVICE* device)
{
    (void)directDraw;
    if (!device)
        return D3DRMERR_BADVALUE;
    *device = nullptr;
    if (g_platformHooks.deviceCreated)
        g_platformHooks.deviceCreated(guid != nullptr);
    if (FailureInjected(FailPoint::CreateDeviceFromSurface))
        return D3DERR_INVALID_DEVICE;
    if (guid && !(*guid == SOFTWARE_RGB_DEVICE_GUID))
        return D3DERR_INVALID_DEVICE;
    SurfacePixels surface;
    if (!backBuffer || !GetSurfacePixels(backBuffer, &surface) || surface.width <= 0 || surface.height <= 0)
        return D3DRMERR_BADOBJECT;
    DeviceObject* made = new DeviceObject();
    made->surface = backBuffer;
    backBuffer->AddRef();
    made->width = surface.width;
    made->height = surface.height;
    made->depth.assign(static_cast<size_t>(surface.pitchPixels) * surface.height, 0.0f);
    *device = made;
    return D3DRM_OK;
}

HRESULT RendererObject::CreateViewport(LPDIRECT3DRMDEVICE device, LPDIRECT3DRMFRAME camera, DWORD x, DWORD y,
                                       DWORD width, DWORD height, LPDIRECT3DRMVIEWPORT* viewport)
{
    if (!viewport)
        return D3DRMERR_BADVALUE;
    *viewport = nullptr;
    DeviceObject* deviceObject = dynamic_cast<DeviceObject*>(device);
    FrameObject* cameraObject = AsFrame(camera);
    if (!deviceObject || !cameraObject)
        return D3DRMERR_BADOBJECT;
    if (FailureInjected(FailPoint::CreateViewport))
        return D3DRMERR_BADALLOC;
    DWORD deviceWidth = static_cast<DWORD>(deviceObject->width);
    DWORD deviceHeight = static_cast<DWORD>(deviceObject->height);
    if (width == 0 || height == 0 || x >= deviceWidth || y >= deviceHeight || width > deviceWidth - x ||
        height > deviceHeight - y)
        return D3DRMERR_BADVALUE;
    ViewportObject* made = new ViewportObject();
    made->device = deviceObject;
    deviceObject->AddRef();
    made->camera = cameraObject;
    cameraObject->AddRef();
    made->left = static_cast<int>(x);
    made->top = static_cast<int>(y);
    made->width = static_cast<int>(width);
    made->height = static_cast<int>(height);
    *viewport = made;
    return D3DRM_OK;
}

HRESULT RendererObject::LoadTexture(const char* fileName, LPDIRECT3DRMTEXTURE* texture)
{
    if (!texture)
        return D3DRMERR_BADVALUE;
    *texture = nullptr;
    if (!fileName)
        return D3DRMERR_BADVALUE;
    DecodedBitmap bitmap;
    if (!DecodeBitmapFile(NativePath(fileName).c_str(), &bitmap) || bitmap.width <= 0 || bitmap.height <= 0)
        return D3DRMERR_FILENOTFOUND;
    TextureObject* made = new TextureObject();
    SetTexturePixels(made, bitmap);
    *texture = made;
    return D3DRM_OK;
}

// The wrap's vectors are taken in the coordinates of the mesh it is applied to; the reference
// frame is not used.
HRESULT RendererObject::CreateWrap(D3DRMWRAPTYPE type, LPDIRECT3DRMFRAME reference, D3DVALUE ox, D3DVALUE oy,
                                   D3DVALUE oz, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux, D3DVALUE uy,
                                   D3DVALUE uz, D3DVALUE ou, D3DVALUE ov, D3DVALUE su, D3DVALUE sv,
                                   LPDIRECT3DRMWRAP* wrap)
{
    (void)reference;
    if (!wrap)
        return D3DRMERR_BADVALUE;
    *wrap = nullptr;
    if (type != D3DRMWRAP_FLAT && type != D3DRMWRAP_SPHERE)
        return UNSUPPORTED(D3DRMERR_BADVALUE, "IDirect3DRM::CreateWrap other than flat or sphere");
    float values[] = {ox, oy, oz, dx, dy, dz, ux, uy, uz, ou, ov, su, sv};
    for (float v : values)
        if (!std::isfinite(v))
            return D3DRMERR_BADVALUE;
    WrapObject* made = new WrapObject();
    made->type = type;
    made->origin = MakeVec3(ox, oy, oz);
    WrapAxes(MakeVec3(dx, dy, dz), MakeVec3(ux, uy, uz), &made->axisX, &made->axisY, &made->axisZ);
    made->ou = ou;
    made->ov = ov;
    made->su = su;
    made->sv = sv;
    *wrap = made;
    return D3DRM_OK;
}

HRESULT RendererObject::CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE red, D3DVALUE green, D3DVALUE blue,
                                       LPDIRECT3DRMLIGHT* light)
{
    if (!light)
        return D3DRMERR_BADVALUE;
    *light = nullptr;
    if (FailureInjected(FailPoint::CreateLightRGB))
        return D3DRMERR_BADALLOC;
    if (type < D3DRMLIGHT_AMBIENT || type > D3DRMLIGHT_PARALLELPOINT)
        return D3DRMERR_BADVALUE;
    LightObject* made = new LightObject();
    made->type = type;
    made->red = QuantiseColour(red);
    made->green = QuantiseColour(green);
    made->blue = QuantiseColour(blue);
    *light = made;
    return D3DRM_OK;
}

} // namespace

HRESULT Direct3DRMCreate(LPDIRECT3DRM* d3drm)
{
    if (!d3drm)
        return D3DRMERR_BADVALUE;
    *d3drm = nullptr;
    if (FailureInjected(FailPoint::Direct3DRMCreate))
        return D3DRMERR_BADALLOC;
    *d3drm = new RendererObject();
    return D3DRM_OK;
}
