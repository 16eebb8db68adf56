// PNG reading and writing for test images (zlib), and image comparison.
#include "png_io.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

const uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

uint32_t GetU32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    PutU32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutU32(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

int Paeth(int a, int b, int c)
{
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

} // namespace

TestImage ImageFromRgb565(const uint16_t* pixels, int width, int height, int pitchPixels)
{
    TestImage image;
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            uint16_t p = pixels[static_cast<size_t>(y) * pitchPixels + x];
            uint8_t r = static_cast<uint8_t>((p >> 11) & 31), g = static_cast<uint8_t>((p >> 5) & 63),
                    b = static_cast<uint8_t>(p & 31);
            uint8_t* out = &image.rgb[(static_cast<size_t>(y) * width + x) * 3];
            out[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
            out[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
            out[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
        }
    return image;
}

bool WritePng(const std::string& path, const TestImage& image)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3)
        return false;
    std::vector<uint8_t> raw;
    size_t rowBytes = static_cast<size_t>(image.width) * 3;
    for (int y = 0; y < image.height; y++) {
        raw.push_back(0); // no filter
        raw.insert(raw.end(), image.rgb.begin() + y * rowBytes, image.rgb.begin() + (y + 1) * rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        return false;
    packed.resize(packedSize);

    std::vector<uint8_t> file(SIGNATURE, SIGNATURE + 8);
    std::vector<uint8_t> header;
    PutU32(header, static_cast<uint32_t>(image.width));
    PutU32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter set, no interlace
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", {});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

bool ReadPng(const std::string& path, TestImage* image)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < 8 || std::memcmp(file.data(), SIGNATURE, 8) != 0)
        return false;
    uint32_t width = 0, height = 0;
    int channels = 0;
    std::vector<uint8_t> packed;
    for (size_t at = 8; at + 12 <= file.size();) {
        uint32_t length = GetU32(&file[at]);
        if (length > file.size() - at - 12)
            return false;
        const uint8_t* type = &file[at + 4];
        const uint8_t* data = &file[at + 8];
        if (std::memcmp(type, "IHDR", 4) == 0 && length >= 13) {
            width = GetU32(data);
            height = GetU32(data + 4);
            if (data[8] != 8 || data[12] != 0)
                return false; // only 8-bit, non-interlaced
            channels = data[9] == 2 ? 3 : data[9] == 6 ? 4 : data[9] == 0 ? 1 : 0;
            if (channels == 0)
                return false;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            packed.insert(packed.end(), data, data + length);
        }
        at += 12 + length;
    }
    if (width == 0 || height == 0 || width > 16384 || height > 16384 || channels == 0)
        return false;
    size_t stride = static_cast<size_t>(width) * channels;
    std::vector<uint8_t> raw((stride + 1) * height);
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
        rawSize != raw.size())
        return false;
    std::vector<uint8_t> previous(stride, 0), row(stride);
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->rgb.resize(static_cast<size_t>(width) * height * 3);
    for (uint32_t y = 0; y < height; y++) {
        const uint8_t* line = &raw[y * (stride + 1)];
        uint8_t filter = line[0];
        for (size_t i = 0; i < stride; i++) {
            int a = i >= static_cast<size_t>(channels) ? row[i - channels] : 0;
            int b = previous[i];
            int c = i >= static_cast<size_t>(channels) ? previous[i - channels] : 0;
            int x = line[1 + i];
            switch (filter) {
            case 0: break;
            case 1: x += a; break;
            case 2: x += b; break;
            case 3: x += (a + b) / 2; break;
            case 4: x += Paeth(a, b, c); break;
            default: return false;
            }
            row[i] = static_cast<uint8_t>(x);
        }
        for (uint32_t px = 0; px < width; px++) {
            uint8_t* out = &image->rgb[(static_cast<size_t>(y) * width + px) * 3];
            const uint8_t* src = &row[static_cast<size_t>(px) * channels];
            out[0] = src[0];
            out[1] = channels >= 3 ? src[1] : src[0];
            out[2] = channels >= 3 ? src[2] : src[0];
        }
        previous = row;
    }
    return true;
}

ImageDifference CompareImages(const TestImage& a, const TestImage& b, int tolerance)
{
    ImageDifference d;
    d.sameSize = a.width == b.width && a.height == b.height && a.rgb.size() == b.rgb.size();
    if (!d.sameSize)
        return d;
    for (size_t p = 0; p + 2 < a.rgb.size(); p += 3) {
        int worst = 0;
        for (int c = 0; c < 3; c++)
            worst = std::max(worst, std::abs(int(a.rgb[p + c]) - int(b.rgb[p + c])));
        d.worstChannel = std::max(d.worstChannel, worst);
        if (worst > tolerance)
            d.differingPixels++;
    }
    return d;
}

bool MatchesReference(const TestImage& image, const std::string& name, int tolerance, int allowedDiffering,
                      std::string* message)
{
    std::string path = std::string(ORBIT_TEST_FIXTURES_DIR) + "/" + name + ".png";
    std::string actual = name + ".actual.png";
    std::replace(actual.begin(), actual.end(), '/', '_'); // written into the working folder
    const char* update = std::getenv("ORBIT_UPDATE_REFERENCES");
    if (update && std::strcmp(update, "1") == 0) {
        if (!WritePng(path, image)) {
            *message = "cannot write " + path;
            return false;
        }
        return true;
    }
    TestImage reference;
    if (!ReadPng(path, &reference)) {
        *message = "no reference picture " + path + " (run with ORBIT_UPDATE_REFERENCES=1 to make it)";
        return false;
    }
    ImageDifference d = CompareImages(image, reference, tolerance);
    if (d.sameSize && d.differingPixels <= allowedDiffering)
        return true;
    WritePng(actual, image);
    *message = d.sameSize ? name + ": " + std::to_string(d.differingPixels) + " pixels differ (worst channel " +
            std::to_string(d.worstChannel) + "), see " + actual
                          : name + ": the picture's size differs from the reference";
    return false;
}
