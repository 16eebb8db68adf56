// The IDirect3D device search behind IDirectDraw (no library: our one software RGB device).
#include "d3drm_objects.h"
#include "hook_points.h"
#include "platform_internal.h"

const GUID SOFTWARE_RGB_DEVICE_GUID = {0x6F0C8E42, 0x5B1D, 0x4C37, {0x9A, 0x0E, 0x52, 0xD3, 0xC1, 0xB7, 0xE9, 0x01}};

namespace {

struct Direct3DObject final : IDirect3D {
    // Our device is software, RGB; a search that asks for anything else finds nothing.
    HRESULT FindDevice(D3DFINDDEVICESEARCH* search, D3DFINDDEVICERESULT* result) override
    {
        if (!search || !result)
            return DDERR_INVALIDPARAMS;
        if (FailureInjected(FailPoint::FindDevice))
            return DDERR_NOTFOUND;
        if ((search->dwFlags & D3DFDS_COLORMODEL) && search->dcmColorModel != D3DCOLOR_RGB)
            return DDERR_NOTFOUND;
        if ((search->dwFlags & D3DFDS_GUID) && !(search->guid == SOFTWARE_RGB_DEVICE_GUID))
            return DDERR_NOTFOUND;
        if ((search->dwFlags & D3DFDS_HARDWARE) && search->bHardware)
            return DDERR_NOTFOUND;
        result->guid = SOFTWARE_RGB_DEVICE_GUID;
        return DD_OK;
    }
};

} // namespace

IDirect3D* CreateDirect3D(IDirectDraw* directDraw)
{
    (void)directDraw;
    return new Direct3DObject();
}
