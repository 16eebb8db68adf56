// Drawing helpers over Image: soft discs, lines, glows and styled coverage masks.
#pragma once

#include "bmp_writer.h"

// A coverage mask, 0..1 per pixel (text drawn by glyphs.h, shapes).
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> a;

    Mask() = default;
    Mask(int w, int h) : width(w), height(h), a(static_cast<size_t>(w) * h, 0.0f) { }
    float At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return 0.0f;
        return a[static_cast<size_t>(y) * width + x];
    }
    float& Ref(int x, int y) { return a[static_cast<size_t>(y) * width + x]; }
};

// The mask grown by `radius` pixels (a soft outline).
Mask Dilate(const Mask& m, int radius);

// Text look: a vertical gradient fill over an outline of the given width.
struct TextStyle {
    Rgb top{255, 255, 255};
    Rgb bottom{255, 255, 255};
    Rgb outline{0, 0, 0};
    int outlineWidth = 1;
    Rgb shadow{0, 0, 0}; // drawn offset down-right when shadowOffset > 0
    int shadowOffset = 0;
};

// Draws the mask with its top-left at (x, y) in the given style.
void StampMask(Image& img, const Mask& m, int x, int y, const TextStyle& style);

// Soft-edged filled disc.
void FillDisc(Image& img, float cx, float cy, float radius, Rgb c, float alpha = 1.0f);
// Anti-aliased line of the given width.
void DrawLine(Image& img, float x0, float y0, float x1, float y1, float width, Rgb c, float alpha = 1.0f);
// Additive radial glow fading to nothing at `radius`.
void Glow(Image& img, float cx, float cy, float radius, Rgb c, float strength = 1.0f);
