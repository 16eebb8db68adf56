// DirectDraw surfaces in memory (no library): RGB565 pixels, colour-keyed copies, lost surfaces,
// and the present of the primary surface to the SDL2 window.
#include "ddraw_internal.h"
#include "hook_points.h"
#include "platform_internal.h"
#include "unsupported.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Eight bytes at a time where it can, or a plain byte fill when both bytes of the colour agree.
void FillPixels(uint16_t* pixels, size_t count, uint16_t colour)
{
    if ((colour >> 8) == (colour & 0xFF)) {
        std::memset(pixels, colour & 0xFF, count * sizeof(uint16_t));
        return;
    }
    size_t i = 0;
    for (; i < count && (reinterpret_cast<uintptr_t>(pixels + i) & 7) != 0; i++)
        pixels[i] = colour;
    uint64_t four = colour * 0x0001000100010001ull;
    for (; i + 4 <= count; i += 4)
        std::memcpy(pixels + i, &four, sizeof(four));
    for (; i < count; i++)
        pixels[i] = colour;
}

// Copies the pixels that are not the key colour; the sprites of a busy frame are mostly drawn
// this way, eight pixels at a time where SSE2 is.
static void CopyKeyed(uint16_t* out, const uint16_t* in, int count, uint16_t key)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i keys = _mm_set1_epi16(static_cast<short>(key));
    for (; i + 8 <= count; i += 8) {
        const __m128i from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i to = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i));
        const __m128i transparent = _mm_cmpeq_epi16(from, keys);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_or_si128(_mm_and_si128(transparent, to), _mm_andnot_si128(transparent, from)));
    }
#endif
    for (; i < count; i++)
        if (in[i] != key)
            out[i] = in[i];
}

namespace {
class MemorySurface;

std::set<MemorySurface*> g_liveSurfaces; // every surface not yet freed, so that all can be lost at once

class MemorySurface final : public IDirectDrawSurface {
public:
    MemorySurface(int width, int height, DWORD caps)
            : m_width(width), m_height(height), m_caps(caps),
              m_pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0)
    {
        g_liveSurfaces.insert(this);
    }

    ~MemorySurface() override
    {
        g_liveSurfaces.erase(this);
        if (m_dc)
            DestroySurfaceDC(m_dc);
        if (m_backBuffer)
            m_backBuffer->Release();
    }

    void AttachBackBuffer(MemorySurface* backBuffer) { m_backBuffer = backBuffer; }
    void Lose() { m_lost = true; }
    bool Lost() const { return m_lost; }
    uint16_t* Pixels() { return m_pixels.data(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    HRESULT Blt(RECT* destRect, LPDIRECTDRAWSURFACE source, RECT* sourceRect, DWORD flags, DDBLTFX* fx) override
    {
        (void)sourceRect;
        if (!(flags & DDBLT_COLORFILL) || source || !fx)
            return UNSUPPORTED(DDERR_UNSUPPORTED, "IDirectDrawSurface::Blt other than a colour fill");
        if (m_lost)
            return DDERR_SURFACELOST;
        RECT whole = {0, 0, m_width, m_height};
        RECT r = destRect ? *destRect : whole;
        if (r.left < 0 || r.top < 0 || r.right > m_width || r.bottom > m_height || r.left > r.right || r.top > r.bottom)
            return DDERR_INVALIDRECT;
        uint16_t colour = static_cast<uint16_t>(fx->dwFillColor);
        for (LONG y = r.top; y < r.bottom; y++)
            FillPixels(m_pixels.data() + Index(r.left, y), static_cast<size_t>(r.right - r.left), colour);
        return DD_OK;
    }

    // Never clips: a rectangle that does not fit copies nothing.
    HRESULT BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE source, RECT* sourceRect, DWORD trans) override
    {
        MemorySurface* from = dynamic_cast<MemorySurface*>(source);
        if (!from)
            return DDERR_INVALIDPARAMS;
        if (trans & ~static_cast<DWORD>(DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT))
            return UNSUPPORTED(DDERR_UNSUPPORTED, "IDirectDrawSurface::BltFast flags other than a source key");
        if (m_lost || from->m_lost)
            return DDERR_SURFACELOST;
        RECT whole = {0, 0, from->m_width, from->m_height};
        RECT r = sourceRect ? *sourceRect : whole;
        if (r.left < 0 || r.top < 0 || r.left >= r.right || r.top >= r.bottom || r.right > from->m_width ||
            r.bottom > from->m_height)
            return DDERR_INVALIDRECT;
        int width = r.right - r.left;
        int height = r.bottom - r.top;
        // x and y arrive unsigned, so a negative position is a huge one and does not fit either.
        if (static_cast<uint64_t>(x) + static_cast<uint64_t>(width) > static_cast<uint64_t>(m_width) ||
            static_cast<uint64_t>(y) + static_cast<uint64_t>(height) > static_cast<uint64_t>(m_height))
            return DDERR_INVALIDRECT;
        bool keyed = (trans & DDBLTFAST_SRCCOLORKEY) != 0;
        if (keyed && !from->m_hasKey)
            return DDERR_NOCOLORKEY;

        // A copy within one surface may overlap: take the source rows out first.
        std::vector<uint16_t> staging;
        const uint16_t* src = &from->m_pixels[from->Index(r.left, r.top)];
        size_t srcPitch = static_cast<size_t>(from->m_width);
        if (from == this) {
            staging.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
            for (int row = 0; row < height; row++)
                std::memcpy(&staging[static_cast<size_t>(row) * width], src + row * srcPitch,
                            static_cast<size_t>(width) * sizeof(uint16_t));
            src = staging.data();
            srcPitch = static_cast<size_t>(width);
        }
        for (int row = 0; row < height; row++) {
            const uint16_t* in = src + row * srcPitch;
            uint16_t* out = &m_pixels[Index(static_cast<int>(x), static_cast<int>(y) + row)];
            if (!keyed) {
                std::memcpy(out, in, static_cast<size_t>(width) * sizeof(uint16_t));
                continue;
            }
            CopyKeyed(out, in, width, from->m_key);
        }
        if (m_caps & DDSCAPS_PRIMARYSURFACE)
            Present();
        return DD_OK;
    }

    // The back buffer stays owned by the primary: no reference is added for the caller, who
    // therefore must not release it (the game never does).
    HRESULT GetAttachedSurface(DDSCAPS* caps, LPDIRECTDRAWSURFACE* surface) override
    {
        if (!caps || !surface)
            return DDERR_INVALIDPARAMS;
        *surface = nullptr;
        if (FailureInjected(FailPoint::GetAttachedSurface))
            return DDERR_GENERIC;
        if (caps->dwCaps != DDSCAPS_BACKBUFFER || !m_backBuffer)
            return DDERR_NOTFOUND;
        *surface = m_backBuffer;
        return DD_OK;
    }

    // The memory comes back cleared: what was drawn before the loss is gone.
    HRESULT Restore() override
    {
        if (m_lost) {
            std::fill(m_pixels.begin(), m_pixels.end(), 0);
            m_lost = false;
        }
        if (m_backBuffer)
            m_backBuffer->Restore();
        return DD_OK;
    }

    HRESULT IsLost() override { return m_lost ? DDERR_SURFACELOST : DD_OK; }

    HRESULT GetDC(HDC* context) override
    {
        if (!context)
            return DDERR_INVALIDPARAMS;
        *context = nullptr;
        if (m_lost)
            return DDERR_SURFACELOST;
        if (m_dc)
            return DDERR_DCALREADYCREATED;
        m_dc = CreateSurfaceDC(m_pixels.data(), m_width, m_height, m_width);
        if (!m_dc)
            return DDERR_GENERIC;
        *context = m_dc;
        return DD_OK;
    }

    HRESULT ReleaseDC(HDC context) override
    {
        if (!m_dc || context != m_dc)
            return DDERR_INVALIDPARAMS;
        DestroySurfaceDC(m_dc);
        m_dc = nullptr;
        return DD_OK;
    }

    HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) override
    {
        if (flags != DDCKEY_SRCBLT)
            return UNSUPPORTED(DDERR_UNSUPPORTED, "IDirectDrawSurface::SetColorKey other than a source blit key");
        m_hasKey = key != nullptr;
        // For RGB surfaces only the low value counts, as in DirectDraw without a colour-space key.
        m_key = key ? static_cast<uint16_t>(key->dwColorSpaceLowValue) : 0;
        return DD_OK;
    }

    HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) override
    {
        if (!desc)
            return DDERR_INVALIDPARAMS;
        DWORD size = desc->dwSize;
        std::memset(desc, 0, sizeof(*desc));
        desc->dwSize = size;
        desc->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
        desc->dwWidth = static_cast<DWORD>(m_width);
        desc->dwHeight = static_cast<DWORD>(m_height);
        desc->lPitch = m_width * static_cast<LONG>(sizeof(uint16_t));
        desc->lpSurface = nullptr; // not locked
        if (m_hasKey)
            desc->ddckCKSrcBlt = {m_key, m_key};
        desc->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        desc->ddpfPixelFormat.dwFlags = 0x40; // DDPF_RGB
        desc->ddpfPixelFormat.dwRGBBitCount = 16;
        desc->ddpfPixelFormat.dwRBitMask = 0xF800;
        desc->ddpfPixelFormat.dwGBitMask = 0x07E0;
        desc->ddpfPixelFormat.dwBBitMask = 0x001F;
        desc->ddsCaps.dwCaps = m_caps;
        if (m_backBuffer)
            desc->dwBackBufferCount = 1;
        return DD_OK;
    }

private:
    size_t Index(int x, int y) const
    {
        return static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x);
    }

    void Present()
    {
        PresentToWindow(m_pixels.data(), m_width, m_height, m_width);
        if (g_platformHooks.presented)
            g_platformHooks.presented(m_pixels.data(), m_width, m_height, m_width);
    }

    int m_width;
    int m_height;
    DWORD m_caps;
    std::vector<uint16_t> m_pixels;
    bool m_lost = false;
    bool m_hasKey = false;
    uint16_t m_key = 0;
    MemorySurface* m_backBuffer = nullptr; // owned: released with this surface
    HDC m_dc = nullptr;                    // the one device context handed out by GetDC
};
} // namespace

IDirectDrawSurface* NewPrimarySurface(int backBuffers)
{
    MemorySurface* primary = new MemorySurface(
        PRIMARY_WIDTH, PRIMARY_HEIGHT,
        DDSCAPS_PRIMARYSURFACE | (backBuffers ? DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE : 0));
    if (backBuffers)
        primary->AttachBackBuffer(new MemorySurface(
            PRIMARY_WIDTH, PRIMARY_HEIGHT, DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE));
    return primary;
}

IDirectDrawSurface* NewOffscreenSurface(int width, int height)
{
    return new MemorySurface(width, height, DDSCAPS_OFFSCREENPLAIN);
}

bool GetSurfacePixels(IDirectDrawSurface* surface, SurfacePixels* out)
{
    MemorySurface* memory = dynamic_cast<MemorySurface*>(surface);
    if (!memory || !out)
        return false;
    out->pixels = memory->Pixels();
    out->width = memory->Width();
    out->height = memory->Height();
    out->pitchPixels = memory->Width();
    return true;
}

void LoseAllSurfaces()
{
    for (MemorySurface* surface : g_liveSurfaces)
        surface->Lose();
}
