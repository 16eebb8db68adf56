// The pictures and the BMP file writer (plain 24-bit, uncompressed, bottom-up).
#include "bmp_writer.h"

#include <cmath>
#include <cstdio>

static int SaturateInt(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return 2147483647;
    if (v <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(v);
}

int FloorInt(float v)
{
    return SaturateInt(std::floor(static_cast<double>(v)));
}

int CeilInt(float v)
{
    return SaturateInt(std::ceil(static_cast<double>(v)));
}

uint8_t ToByte(float v)
{
    if (!(v > 0.0f)) // NaN and negatives
        return 0;
    if (v >= 255.0f)
        return 255;
    return static_cast<uint8_t>(v + 0.5f);
}

Rgb MakeRgb(float r, float g, float b)
{
    return Rgb{ToByte(r), ToByte(g), ToByte(b)};
}

Rgb Mix(Rgb a, Rgb b, float t)
{
    return MakeRgb(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t);
}

bool IsKeyBlack(Rgb c)
{
    return (c.r >> 3) == 0 && (c.g >> 2) == 0 && (c.b >> 3) == 0;
}

Image::Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) { }

Rgb Image::Get(int x, int y) const
{
    if (!Inside(x, y))
        return Rgb{};
    return pixels[static_cast<size_t>(y) * width + x];
}

void Image::Set(int x, int y, Rgb c)
{
    if (Inside(x, y))
        pixels[static_cast<size_t>(y) * width + x] = c;
}

void Image::Blend(int x, int y, Rgb c, float alpha)
{
    if (!Inside(x, y) || !(alpha > 0.0f))
        return;
    if (alpha > 1.0f)
        alpha = 1.0f;
    Rgb& p = pixels[static_cast<size_t>(y) * width + x];
    p = Mix(p, c, alpha);
}

void Image::Lighten(int x, int y, Rgb c, float alpha)
{
    if (!Inside(x, y) || !(alpha > 0.0f))
        return;
    Rgb& p = pixels[static_cast<size_t>(y) * width + x];
    p = MakeRgb(p.r + c.r * alpha, p.g + c.g * alpha, p.b + c.b * alpha);
}

void Image::Paste(const Image& src, int x, int y)
{
    for (int sy = 0; sy < src.height; ++sy)
        for (int sx = 0; sx < src.width; ++sx)
            Set(x + sx, y + sy, src.Get(sx, sy));
}

static void PutU16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

static void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

bool WriteBmp24(const std::string& path, const Image& img)
{
    if (img.width <= 0 || img.height <= 0)
        return false;
    const uint32_t rowBytes = (static_cast<uint32_t>(img.width) * 3 + 3) & ~3u;
    const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(img.height);
    const uint32_t headerBytes = 14 + 40;

    std::vector<uint8_t> out;
    out.reserve(headerBytes + dataBytes);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, headerBytes + dataBytes);
    PutU32(out, 0);
    PutU32(out, headerBytes);
    PutU32(out, 40); // BITMAPINFOHEADER
    PutU32(out, static_cast<uint32_t>(img.width));
    PutU32(out, static_cast<uint32_t>(img.height)); // positive: bottom-up
    PutU16(out, 1);
    PutU16(out, 24);
    PutU32(out, 0); // BI_RGB
    PutU32(out, dataBytes);
    PutU32(out, 2835); // 72 dpi
    PutU32(out, 2835);
    PutU32(out, 0);
    PutU32(out, 0);
    for (int y = img.height - 1; y >= 0; --y) {
        for (int x = 0; x < img.width; ++x) {
            const Rgb c = img.Get(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (uint32_t pad = static_cast<uint32_t>(img.width) * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "datagen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}
