// Reading the generated bitmaps back for the data tests.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

struct Bitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<uint32_t> rgb; // 0xRRGGBB, top-down

    uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
    // The display keys out every colour whose 16-bit form is 0.
    bool Visible(int x, int y) const
    {
        const uint32_t c = At(x, y);
        return ((c >> 19) & 0x1F) != 0 || ((c >> 10) & 0x3F) != 0 || ((c >> 3) & 0x1F) != 0;
    }
    int CountVisible(int left, int top, int right, int bottom) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += Visible(x, y) ? 1 : 0;
        return n;
    }
};

// Loads a bitmap from the working directory (the folder the data is generated into).
inline bool LoadBitmap(const std::string& name, Bitmap& out)
{
    SDL_Surface* raw = SDL_LoadBMP(name.c_str());
    if (!raw)
        return false;
    out.bitsPerPixel = raw->format->BitsPerPixel;
    SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(raw);
    if (!s)
        return false;
    out.width = s->w;
    out.height = s->h;
    out.rgb.resize(static_cast<size_t>(s->w) * s->h);
    for (int y = 0; y < s->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                            static_cast<size_t>(y) * s->pitch);
        for (int x = 0; x < s->w; ++x)
            out.rgb[static_cast<size_t>(y) * s->w + x] = row[x] & 0xFFFFFF;
    }
    SDL_FreeSurface(s);
    return true;
}
