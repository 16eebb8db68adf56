// Explosion animations, the crosshair sheet and the hit spark, drawn procedurally.
#include "sprite_effects.h"

#include "canvas.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr float PI = 3.14159265f;

// Fire colour by heat: smoke, red, orange, yellow, white.
Rgb FireColour(float heat)
{
    static const Rgb stops[] = {{70, 52, 44}, {170, 44, 12}, {245, 125, 24}, {255, 220, 90}, {255, 255, 240}};
    const float h = std::clamp(heat, 0.0f, 1.0f) * 4.0f;
    const int i = std::min(FloorInt(h), 3);
    return Mix(stops[i], stops[i + 1], h - static_cast<float>(i));
}

float SmoothStep(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

struct Debris {
    float angle, speed, size, heat;
};

std::vector<Debris> MakeDebris(int count, uint32_t seed)
{
    Rng rng(seed);
    std::vector<Debris> out;
    for (int i = 0; i < count; ++i)
        out.push_back({rng.Range(0, 2 * PI), rng.Range(0.45f, 1.0f), rng.Range(0.6f, 1.4f), rng.Range(0.5f, 1.0f)});
    return out;
}

// A noisy fireball of radius r (pixels) at (cx, cy), with its heat at the centre.
void DrawFireball(Image& cell, float cx, float cy, float r, float heat, float squash, float time, uint32_t seed)
{
    if (r < 0.5f)
        return;
    const float scale = 4.0f / static_cast<float>(cell.width);
    for (int y = 0; y < cell.height; ++y) {
        for (int x = 0; x < cell.width; ++x) {
            const float dx = x + 0.5f - cx, dy = (y + 0.5f - cy) / squash;
            const float d = std::hypot(dx, dy) / r;
            if (d > 1.4f)
                continue;
            const float n = Fbm3(x * scale * 2.0f, y * scale * 2.0f, time * 2.5f, 4, seed);
            const float edge = d + (n - 0.5f) * 0.7f;
            const float alpha = 1.0f - SmoothStep(0.8f, 1.0f, edge);
            if (alpha <= 0.0f)
                continue;
            // Billows: finer noise breaks the ball into hot and smoky lumps.
            const float m = Fbm3(x * scale * 6.0f, y * scale * 6.0f, time * 4.0f + 9.0f, 3, seed + 3u);
            const float core = std::clamp(1.0f - edge, 0.0f, 1.0f);
            const float t = heat * (0.3f + 1.0f * core) + (m - 0.5f) * 0.9f - 0.15f * edge;
            cell.Blend(x, y, FireColour(t), alpha);
        }
    }
}

void DrawDebris(Image& cell, const std::vector<Debris>& debris, float t, float reach)
{
    const float c = cell.width * 0.5f;
    const float fade = 1.0f - SmoothStep(0.55f, 1.0f, t);
    if (fade <= 0.0f)
        return;
    for (const Debris& d : debris) {
        const float dist = reach * d.speed * std::sqrt(t);
        const float tail = reach * d.speed * std::sqrt(std::max(t - 0.12f, 0.0f));
        const float ca = std::cos(d.angle), sa = std::sin(d.angle);
        const float width = std::max(1.0f, d.size * cell.width / 48.0f * (1.2f - t));
        const Rgb colour = FireColour(d.heat * (1.05f - 0.7f * t));
        DrawLine(cell, c + ca * tail, c + sa * tail, c + ca * dist, c + sa * dist, width, colour, fade);
    }
}

// Fades everything out towards the rim of the cell's inscribed circle, so no flame or
// debris is cut off square at the cell's edge.
void FadeToCircle(Image& cell)
{
    const float c = cell.width * 0.5f;
    for (int y = 0; y < cell.height; ++y) {
        for (int x = 0; x < cell.width; ++x) {
            const float d = std::hypot(x + 0.5f - c, y + 0.5f - c) / c;
            const float keep = 1.0f - SmoothStep(0.86f, 0.98f, d);
            if (keep < 1.0f)
                cell.Set(x, y, Mix(Rgb{}, cell.Get(x, y), keep));
        }
    }
}

} // namespace

Image DrawExplosionSheet(int cellSize, int cells, uint32_t seed)
{
    Image sheet(cellSize * cells, cellSize);
    const std::vector<Debris> debris = MakeDebris(10 + cellSize / 12, seed);
    for (int i = 0; i < cells; ++i) {
        Image cell(cellSize, cellSize);
        const float t = cells > 1 ? static_cast<float>(i) / (cells - 1) : 1.0f;
        const float c = cellSize * 0.5f;
        if (i < cells - 1) {
            // The fireball grows fast, peaks a third of the way in, then shrinks away.
            const float growth = std::sin(PI * std::pow(t, 0.7f));
            const float radius = cellSize * 0.44f * std::pow(std::max(growth, 0.0f), 0.8f);
            DrawFireball(cell, c, c, radius, 1.0f - 0.85f * t, 1.0f, t, seed);
            DrawDebris(cell, debris, t, cellSize * 0.47f);
            const float flash = std::max(0.0f, 1.0f - t * 2.5f);
            Glow(cell, c, c, cellSize * (0.25f + 0.25f * t), Rgb{255, 250, 220}, 1.6f * flash);
        } else {
            // A few dying embers: the animation ends in (almost) nothing.
            Rng rng(seed ^ 0xE3BEu);
            for (int k = 0; k < 3; ++k)
                FillDisc(cell, c + rng.Range(-0.2f, 0.2f) * cellSize, c + rng.Range(-0.2f, 0.2f) * cellSize,
                         cellSize / 96.0f + 0.5f, Rgb{120, 40, 16}, 0.8f);
        }
        FadeToCircle(cell);
        sheet.Paste(cell, i * cellSize, 0);
    }
    return sheet;
}

Image DrawImpactSheet(int cellSize, int cells, uint32_t seed)
{
    Image sheet(cellSize * cells, cellSize);
    const std::vector<Debris> debris = MakeDebris(12, seed);
    for (int i = 0; i < cells; ++i) {
        Image cell(cellSize, cellSize);
        const float t = cells > 1 ? static_cast<float>(i) / (cells - 1) : 1.0f;
        const float c = cellSize * 0.5f;
        if (i < cells - 1) {
            // Shock ring: a flat ellipse racing outwards and fading.
            const float ring = cellSize * (0.12f + 0.36f * std::sqrt(t));
            const float ringAlpha = 0.9f * (1.0f - t);
            for (int k = 0; k < 64; ++k) {
                const float a0 = 2 * PI * k / 64, a1 = 2 * PI * (k + 1) / 64;
                DrawLine(cell, c + ring * std::cos(a0), c + 0.45f * ring * std::sin(a0), c + ring * std::cos(a1),
                         c + 0.45f * ring * std::sin(a1), 1.0f + 2.5f * (1.0f - t), Rgb{255, 200, 120}, ringAlpha);
            }
            const float growth = std::sin(PI * std::pow(t, 0.6f));
            const float radius = cellSize * 0.34f * std::max(growth, 0.0f);
            // The plume rises as it cools.
            DrawFireball(cell, c, c - t * cellSize * 0.12f, radius, 1.0f - 0.8f * t, 1.25f, t, seed + 7u);
            DrawDebris(cell, debris, t, cellSize * 0.45f);
            const float flash = std::max(0.0f, 1.0f - t * 2.0f);
            Glow(cell, c, c, cellSize * 0.35f, Rgb{255, 240, 200}, 1.8f * flash);
        }
        FadeToCircle(cell);
        sheet.Paste(cell, i * cellSize, 0);
    }
    return sheet;
}

Image DrawCrosshairSheet()
{
    Image sheet(LOCK_CELL_SIZE * LOCK_CELL_COUNT, 2 * LOCK_CELL_SIZE);

    // The free pointer: an arrow whose tip is the pointer's own point, (0, 0).
    const Rgb edge{20, 60, 30}, pointer{110, 255, 140};
    DrawLine(sheet, 1.0f, 1.0f, 14.0f, 6.0f, 3.0f, edge);
    DrawLine(sheet, 1.0f, 1.0f, 6.0f, 14.0f, 3.0f, edge);
    DrawLine(sheet, 1.0f, 1.0f, 12.5f, 12.5f, 3.0f, edge);
    DrawLine(sheet, 1.0f, 1.0f, 14.0f, 6.0f, 1.4f, pointer);
    DrawLine(sheet, 1.0f, 1.0f, 6.0f, 14.0f, 1.4f, pointer);
    DrawLine(sheet, 1.0f, 1.0f, 12.5f, 12.5f, 1.4f, pointer);

    // Lock-on brackets, hung from the cell's top-left corner (the locked point), shrinking
    // from the whole cell for a near enemy to a third of it for a far one.
    for (int n = 0; n < LOCK_CELL_COUNT; ++n) {
        Image cell(LOCK_CELL_SIZE, LOCK_CELL_SIZE);
        const float size = 24.0f - 16.0f * n / (LOCK_CELL_COUNT - 1);
        const float lo = 1.0f, hi = size - 1.0f;
        const float arm = std::max(2.5f, size * 0.32f);
        const float width = size >= 14.0f ? 2.0f : 1.5f;
        const Rgb colour{255, 70, 40};
        const float corners[4][2] = {{lo, lo}, {hi, lo}, {lo, hi}, {hi, hi}};
        for (const auto& k : corners) {
            const float sx = k[0] == lo ? 1.0f : -1.0f, sy = k[1] == lo ? 1.0f : -1.0f;
            DrawLine(cell, k[0], k[1], k[0] + sx * arm, k[1], width, colour);
            DrawLine(cell, k[0], k[1], k[0], k[1] + sy * arm, width, colour);
        }
        // A faint inner diamond makes small brackets still read as a lock.
        const float m = size * 0.5f, r = size * 0.18f;
        const Rgb inner{255, 170, 60};
        DrawLine(cell, m - r, m, m, m - r, 1.0f, inner, 0.9f);
        DrawLine(cell, m, m - r, m + r, m, 1.0f, inner, 0.9f);
        DrawLine(cell, m + r, m, m, m + r, 1.0f, inner, 0.9f);
        DrawLine(cell, m, m + r, m - r, m, 1.0f, inner, 0.9f);
        sheet.Paste(cell, n * LOCK_CELL_SIZE, LOCK_CELL_SIZE);
    }
    return sheet;
}

Image DrawSparkSprite()
{
    Image spark(30, 30);
    const float c = 15.0f;
    Rng rng(0x5A4Bu);
    for (int k = 0; k < 12; ++k) {
        const float a = 2 * PI * k / 12 + rng.Range(-0.15f, 0.15f);
        const float len = (k % 2 == 0 ? 13.5f : 8.0f) * rng.Range(0.8f, 1.0f);
        DrawLine(spark, c, c, c + len * std::cos(a), c + len * std::sin(a), 1.6f, Rgb{255, 190, 60}, 0.9f);
    }
    Glow(spark, c, c, 9.0f, Rgb{255, 230, 150}, 1.5f);
    FillDisc(spark, c, c, 2.5f, Rgb{255, 255, 255});
    return spark;
}
