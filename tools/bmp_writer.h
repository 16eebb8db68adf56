// 24-bit pictures in memory and their BMP files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// Floor and ceiling to int, saturating; NaN becomes 0.
int FloorInt(float v);
int CeilInt(float v);

// Clamps to 0..255 and rounds; NaN becomes 0.
uint8_t ToByte(float v);
Rgb MakeRgb(float r, float g, float b);
Rgb Mix(Rgb a, Rgb b, float t); // t = 0 gives a, 1 gives b

// True when the display's 16-bit conversion turns the colour into the transparent key.
bool IsKeyBlack(Rgb c);

// Rows top-down in memory; the file is written bottom-up.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Image() = default;
    Image(int w, int h);
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Rgb Get(int x, int y) const;
    void Set(int x, int y, Rgb c);                  // ignores points outside
    void Blend(int x, int y, Rgb c, float alpha);   // c over the pixel by alpha 0..1
    void Lighten(int x, int y, Rgb c, float alpha); // adds c * alpha, saturating
    void Paste(const Image& src, int x, int y);     // copies src with its top-left at (x, y)
};

bool WriteBmp24(const std::string& path, const Image& img);
