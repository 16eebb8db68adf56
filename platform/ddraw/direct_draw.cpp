// The DirectDraw object (no library): cooperative level, the one display mode, surface creation
// and the way to the 3D interface.
#include "ddraw_internal.h"
#include "hook_points.h"
#include "platform_internal.h"
#include "unsupported.h"

namespace {
class DisplayObject final : public IDirectDraw {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (!(iid == IID_IDirect3D))
            return E_NOINTERFACE;
        if (FailureInjected(FailPoint::QueryDirect3D))
            return E_NOINTERFACE;
        IDirect3D* direct3D = CreateDirect3D(this);
        if (!direct3D)
            return E_NOINTERFACE;
        *object = direct3D;
        return S_OK;
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override
    {
        if (FailureInjected(FailPoint::SetCooperativeLevel))
            return DDERR_NOEXCLUSIVEMODE;
        if (flags == (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)) {
            if (!window)
                return DDERR_INVALIDPARAMS;
            m_exclusive = true;
            return DD_OK;
        }
        if (flags == DDSCL_NORMAL) {
            m_exclusive = false;
            return DD_OK;
        }
        return DDERR_INVALIDPARAMS;
    }

    // The window already fills the desktop and scales the picture: no real mode switch happens.
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) override
    {
        if (FailureInjected(FailPoint::SetDisplayMode))
            return DDERR_UNSUPPORTED;
        if (!m_exclusive)
            return DDERR_NOEXCLUSIVEMODE;
        if (width != PRIMARY_WIDTH || height != PRIMARY_HEIGHT || bitsPerPixel != 16)
            return UNSUPPORTED(DDERR_UNSUPPORTED, "IDirectDraw::SetDisplayMode other than 640 x 480 x 16");
        return DD_OK;
    }

    HRESULT RestoreDisplayMode() override { return DD_OK; }

    HRESULT CreateSurface(DDSURFACEDESC* desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) override
    {
        if (!desc || !surface || outer)
            return DDERR_INVALIDPARAMS;
        *surface = nullptr;
        if (!(desc->dwFlags & DDSD_CAPS))
            return DDERR_INVALIDPARAMS;
        DWORD caps = desc->ddsCaps.dwCaps;
        if (caps & DDSCAPS_PRIMARYSURFACE)
            return CreatePrimary(*desc, surface);
        if (caps & DDSCAPS_OFFSCREENPLAIN)
            return CreateOffscreen(*desc, surface);
        return UNSUPPORTED(DDERR_UNSUPPORTED, "IDirectDraw::CreateSurface other than primary or off-screen plain");
    }

    HRESULT FlipToGDISurface() override { return DD_OK; } // nothing is ever flipped

private:
    HRESULT CreatePrimary(const DDSURFACEDESC& desc, LPDIRECTDRAWSURFACE* surface)
    {
        if (FailureInjected(FailPoint::CreatePrimarySurface))
            return DDERR_OUTOFMEMORY;
        DWORD backBuffers = (desc.dwFlags & DDSD_BACKBUFFERCOUNT) ? desc.dwBackBufferCount : 0;
        if (backBuffers > 1)
            return UNSUPPORTED(DDERR_UNSUPPORTED, "a primary surface with more than one back buffer");
        if (backBuffers == 1 &&
            (desc.ddsCaps.dwCaps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX)) != (DDSCAPS_FLIP | DDSCAPS_COMPLEX))
            return DDERR_INVALIDPARAMS;
        if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT))
            return DDERR_INVALIDPARAMS; // the primary takes the display's size and format
        *surface = NewPrimarySurface(static_cast<int>(backBuffers));
        return DD_OK;
    }

    HRESULT CreateOffscreen(const DDSURFACEDESC& desc, LPDIRECTDRAWSURFACE* surface)
    {
        if (FailureInjected(FailPoint::CreateOffscreenSurface))
            return DDERR_OUTOFMEMORY;
        if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT))
            return DDERR_INVALIDPARAMS;
        if (desc.dwWidth == 0 || desc.dwHeight == 0 || desc.dwWidth > MAX_SURFACE_SIDE ||
            desc.dwHeight > MAX_SURFACE_SIDE)
            return DDERR_INVALIDPARAMS;
        if (desc.dwFlags & DDSD_PIXELFORMAT) {
            const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
            if (format.dwRGBBitCount != 16 || format.dwRBitMask != 0xF800 || format.dwGBitMask != 0x07E0 ||
                format.dwBBitMask != 0x001F)
                return UNSUPPORTED(DDERR_UNSUPPORTED, "a surface pixel format other than RGB565");
        }
        *surface = NewOffscreenSurface(static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight));
        return DD_OK;
    }

    bool m_exclusive = false;
};
} // namespace

HRESULT DirectDrawCreate(GUID* driver, LPDIRECTDRAW* directDraw, IUnknown* outer)
{
    if (!directDraw)
        return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (driver || outer)
        return DDERR_INVALIDPARAMS; // only the default driver, no aggregation
    if (FailureInjected(FailPoint::DirectDrawCreate))
        return DDERR_GENERIC;
    *directDraw = new DisplayObject();
    return DD_OK;
}
