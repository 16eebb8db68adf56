// The game's icon: a small earth under a satellite on its orbit, drawn at every size the desktop
// asks for (PNG files for the icon theme) and once as a 32-bit BMP for the window itself.
#include "datagen.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {
struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// c over the colour underneath, by c's alpha.
Rgba Over(Rgba under, Rgba c)
{
    float a = c.a + under.a * (1 - c.a);
    if (a <= 0)
        return Rgba{};
    auto mix = [&](float top, float bottom) { return (top * c.a + bottom * under.a * (1 - c.a)) / a; };
    return Rgba{mix(c.r, under.r), mix(c.g, under.g), mix(c.b, under.b), a};
}

// The picture at one point of the unit square, y downwards.
Rgba IconAt(float x, float y)
{
    Rgba c;
    // Round dark-blue space with a few stars.
    float dx = x - 0.5f, dy = y - 0.5f;
    if (dx * dx + dy * dy > 0.25f)
        return c;
    c = Rgba{0.02f, 0.03f, 0.12f, 1};
    const float stars[][2] = {{0.30f, 0.22f}, {0.72f, 0.70f}, {0.22f, 0.55f}, {0.60f, 0.12f}, {0.84f, 0.45f}};
    for (const auto& star : stars) {
        float sx = x - star[0], sy = y - star[1];
        if (sx * sx + sy * sy < 0.0002f)
            c = Over(c, Rgba{1, 1, 0.9f, 1});
    }
    // The earth, lit from the upper right: sea with a green land mass.
    float ex = x - 0.40f, ey = y - 0.62f, earth = 0.26f;
    float d2 = ex * ex + ey * ey;
    if (d2 < earth * earth) {
        float light = 0.35f + 0.65f * std::fmax(0.0f, (ex * 0.6f - ey * 0.8f) / earth * 0.5f + 0.5f);
        bool land = std::sin(ex * 23) * std::cos(ey * 19) > 0.25f;
        Rgba ground = land ? Rgba{0.20f, 0.62f, 0.25f, 1} : Rgba{0.12f, 0.38f, 0.85f, 1};
        c = Over(c, Rgba{ground.r * light, ground.g * light, ground.b * light, 1});
    }
    // The orbit, a thin tilted ellipse around the earth.
    float ox = x - 0.48f, oy = y - 0.52f;
    float rx = ox * 0.87f + oy * 0.5f, ry = -ox * 0.5f + oy * 0.87f;
    float ring = std::sqrt((rx * rx) / (0.40f * 0.40f) + (ry * ry) / (0.16f * 0.16f));
    bool behind = ry < 0 && d2 < earth * earth;
    if (std::fabs(ring - 1) < 0.05f && !behind)
        c = Over(c, Rgba{0.95f, 0.80f, 0.30f, 0.85f});
    // The satellite on the orbit, upper right: a body and two solar panels.
    float sx = x - 0.74f, sy = y - 0.27f;
    float px = sx * 0.87f + sy * 0.5f, py = -sx * 0.5f + sy * 0.87f;
    if (std::fabs(px) < 0.045f && std::fabs(py) < 0.045f)
        c = Over(c, Rgba{0.85f, 0.85f, 0.88f, 1});
    else if (std::fabs(px) < 0.16f && std::fabs(py) < 0.028f && std::fabs(px) > 0.06f)
        c = Over(c, Rgba{0.25f, 0.35f, 0.85f, 1});
    else if (std::fabs(px) < 0.06f && std::fabs(py) < 0.006f)
        c = Over(c, Rgba{0.7f, 0.7f, 0.7f, 1});
    return c;
}

// Each pixel is the average of 4 x 4 samples, so edges are smooth at every size.
std::vector<Rgba> DrawIcon(int size)
{
    std::vector<Rgba> pixels(static_cast<size_t>(size) * size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            Rgba sum;
            for (int sy = 0; sy < 4; sy++)
                for (int sx = 0; sx < 4; sx++) {
                    Rgba s = IconAt((x + (sx + 0.5f) / 4) / size, (y + (sy + 0.5f) / 4) / size);
                    sum.r += s.r * s.a, sum.g += s.g * s.a, sum.b += s.b * s.a, sum.a += s.a;
                }
            Rgba& p = pixels[static_cast<size_t>(y) * size + x];
            p.a = sum.a / 16;
            if (sum.a > 0)
                p.r = sum.r / sum.a, p.g = sum.g / sum.a, p.b = sum.b / sum.a;
        }
    return pixels;
}

uint8_t Byte(float v)
{
    return static_cast<uint8_t>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t Crc32(const uint8_t* data, size_t length)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; i++) {
        crc ^= data[i];
        for (int k = 0; k < 8; k++)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    Put32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, Crc32(out.data() + start, out.size() - start));
}

// RGBA PNG, its image data in stored (uncompressed) deflate blocks: small icons need no more.
bool WritePng(const std::string& path, const std::vector<Rgba>& pixels, int size)
{
    std::vector<uint8_t> raw;
    for (int y = 0; y < size; y++) {
        raw.push_back(0); // no filter
        for (int x = 0; x < size; x++) {
            const Rgba& p = pixels[static_cast<size_t>(y) * size + x];
            raw.insert(raw.end(), {Byte(p.r), Byte(p.g), Byte(p.b), Byte(p.a)});
        }
    }
    std::vector<uint8_t> zlib = {0x78, 0x01};
    for (size_t at = 0; at < raw.size(); at += 65535) {
        size_t length = std::min<size_t>(65535, raw.size() - at);
        zlib.push_back(at + length == raw.size() ? 1 : 0);
        zlib.insert(zlib.end(),
                    {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(~length),
                     static_cast<uint8_t>(~length >> 8)});
        zlib.insert(zlib.end(), raw.begin() + static_cast<ptrdiff_t>(at),
                    raw.begin() + static_cast<ptrdiff_t>(at + length));
    }
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw)
        a = (a + v) % 65521, b = (b + a) % 65521;
    Put32(zlib, b << 16 | a);

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Put32(header, static_cast<uint32_t>(size));
    Put32(header, static_cast<uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA
    Chunk(file, "IHDR", header);
    Chunk(file, "IDAT", zlib);
    Chunk(file, "IEND", {});
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && ok;
}

void Put16Le(std::vector<uint8_t>& out, uint32_t v)
{
    out.insert(out.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
}

void Put32Le(std::vector<uint8_t>& out, uint32_t v)
{
    Put16Le(out, v & 0xFFFF);
    Put16Le(out, v >> 16);
}

// 32-bit BMP with alpha, bottom row first, for the window's own icon.
bool WriteBmp32(const std::string& path, const std::vector<Rgba>& pixels, int size)
{
    const uint32_t imageBytes = static_cast<uint32_t>(size * size * 4);
    std::vector<uint8_t> file = {'B', 'M'};
    Put32Le(file, 14 + 40 + imageBytes);
    Put32Le(file, 0);
    Put32Le(file, 14 + 40);
    Put32Le(file, 40);
    Put32Le(file, static_cast<uint32_t>(size));
    Put32Le(file, static_cast<uint32_t>(size));
    Put16Le(file, 1);
    Put16Le(file, 32);
    for (int i = 0; i < 6; i++)
        Put32Le(file, i == 1 ? imageBytes : 0);
    for (int y = size - 1; y >= 0; y--)
        for (int x = 0; x < size; x++) {
            const Rgba& p = pixels[static_cast<size_t>(y) * size + x];
            file.insert(file.end(), {Byte(p.b), Byte(p.g), Byte(p.r), Byte(p.a)});
        }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && ok;
}
} // namespace

bool WriteIcons(const std::string& folder)
{
    bool ok = true;
    for (int size : {16, 32, 48, 64, 128, 256})
        ok = WritePng(folder + "/icon_" + std::to_string(size) + ".png", DrawIcon(size), size) && ok;
    ok = WriteBmp32(folder + "/orbitdefense_icon.bmp", DrawIcon(64), 64) && ok;
    return ok;
}
