// Drawing helpers over Image.
#include "canvas.h"

#include <algorithm>
#include <cmath>

Mask Dilate(const Mask& m, int radius)
{
    Mask out(m.width + 2 * radius, m.height + 2 * radius);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            float best = 0.0f;
            for (int dy = -radius; dy <= radius; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    if (dx * dx + dy * dy > radius * radius + radius)
                        continue;
                    best = std::max(best, m.At(x - radius + dx, y - radius + dy));
                }
            }
            out.Ref(x, y) = best;
        }
    }
    return out;
}

void StampMask(Image& img, const Mask& m, int x, int y, const TextStyle& style)
{
    const int r = style.outlineWidth;
    if (style.shadowOffset > 0) {
        const Mask grown = Dilate(m, r);
        const int s = style.shadowOffset;
        for (int my = 0; my < grown.height; ++my)
            for (int mx = 0; mx < grown.width; ++mx)
                img.Blend(x - r + mx + s, y - r + my + s, style.shadow, grown.At(mx, my));
    }
    if (r > 0) {
        const Mask grown = Dilate(m, r);
        for (int my = 0; my < grown.height; ++my)
            for (int mx = 0; mx < grown.width; ++mx)
                img.Blend(x - r + mx, y - r + my, style.outline, grown.At(mx, my));
    }
    for (int my = 0; my < m.height; ++my) {
        const float t = m.height > 1 ? static_cast<float>(my) / (m.height - 1) : 0.0f;
        const Rgb fill = Mix(style.top, style.bottom, t);
        for (int mx = 0; mx < m.width; ++mx)
            img.Blend(x + mx, y + my, fill, m.At(mx, my));
    }
}

void FillDisc(Image& img, float cx, float cy, float radius, Rgb c, float alpha)
{
    const int x0 = FloorInt(cx - radius - 1);
    const int x1 = CeilInt(cx + radius + 1);
    const int y0 = FloorInt(cy - radius - 1);
    const int y1 = CeilInt(cy + radius + 1);
    for (int y = std::max(y0, 0); y <= std::min(y1, img.height - 1); ++y) {
        for (int x = std::max(x0, 0); x <= std::min(x1, img.width - 1); ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            const float cover = std::clamp(radius - d + 0.5f, 0.0f, 1.0f);
            img.Blend(x, y, c, cover * alpha);
        }
    }
}

void DrawLine(Image& img, float x0, float y0, float x1, float y1, float width, Rgb c, float alpha)
{
    const float half = width * 0.5f;
    const int left = FloorInt(std::min(x0, x1) - half - 1);
    const int right = CeilInt(std::max(x0, x1) + half + 1);
    const int top = FloorInt(std::min(y0, y1) - half - 1);
    const int bottom = CeilInt(std::max(y0, y1) + half + 1);
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = dx * dx + dy * dy;
    for (int y = std::max(top, 0); y <= std::min(bottom, img.height - 1); ++y) {
        for (int x = std::max(left, 0); x <= std::min(right, img.width - 1); ++x) {
            const float px = x + 0.5f - x0, py = y + 0.5f - y0;
            const float t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
            const float d = std::hypot(px - t * dx, py - t * dy);
            const float cover = std::clamp(half - d + 0.5f, 0.0f, 1.0f);
            img.Blend(x, y, c, cover * alpha);
        }
    }
}

void Glow(Image& img, float cx, float cy, float radius, Rgb c, float strength)
{
    if (!(radius > 0.0f))
        return;
    const int x0 = FloorInt(cx - radius);
    const int x1 = CeilInt(cx + radius);
    const int y0 = FloorInt(cy - radius);
    const int y1 = CeilInt(cy + radius);
    for (int y = std::max(y0, 0); y <= std::min(y1, img.height - 1); ++y) {
        for (int x = std::max(x0, 0); x <= std::min(x1, img.width - 1); ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
            if (d >= 1.0f)
                continue;
            const float f = (1.0f - d) * (1.0f - d);
            img.Lighten(x, y, c, f * strength);
        }
    }
}
