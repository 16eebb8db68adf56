// The software rasteriser: camera-space triangles in, RGB565 pixels out. It clips against the
// front and back planes, projects, culls back faces, and fills with a depth buffer, perspective-
// correct texture coordinates and Gouraud colour. It knows nothing of frames or meshes.
#pragma once

#include "../internal/platform_private.h"

#include <cstddef>
#include <cstdint>

// Where pixels go. The scissor rectangle (right and bottom exclusive) must lie inside the buffers.
struct RasterTarget {
    uint16_t* pixels = nullptr;
    int pitch = 0;          // pixels per row, shared by the depth buffer and the write counters
    float* depth = nullptr; // 1/z per pixel; larger is nearer, 0 is empty
    int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
    uint16_t* writeCounts = nullptr; // tests only: bumped at every pixel write
};

// Perspective: camera-space (x, y, z) lands at (centreX + scale x / z, centreY - scale y / z).
struct RasterView {
    float scale = 1;
    float centreX = 0, centreY = 0;
    float front = 1, back = 100;
};

// A vertex in camera space; r, g, b are light intensities (clamped after the face colour).
struct RasterVertex {
    float x, y, z;
    float u, v;
    float r, g, b;
};

// Corners index the vertex array in clockwise screen order for a front face; the face colour
// multiplies the vertex colours and the emissive colour is added after, so lamps glow unlit.
struct RasterTriangle {
    uint32_t v[3];
    float r, g, b;
    float emissiveR = 0, emissiveG = 0, emissiveB = 0;
};

// The bits of a 0x00RRGGBB colour that survive the step to RGB565.
const uint32_t RGB565_BITS = 0x00F8FCF8u;

// Power-of-two texture, 0x00RRGGBB texels; coordinates repeat. Decal texels that become the key's
// colour in RGB565 are not drawn, as the sprite sheets' colour key treats pixels.
struct RasterTexture {
    const uint32_t* texels = nullptr;
    int widthShift = 0;
    int heightShift = 0;
    bool decal = false;
    uint32_t key = 0;
    // Decal textures may have their drawn texels counted and marked, as RasterCountOpaque makes
    // them, so that runs of pixels over transparent texels only are passed over; null otherwise.
    const uint16_t* opaqueSums = nullptr;
};

// The counts of drawn (not key-coloured) texels of a decal texture over every rectangle from its
// top-left corner, modulo 2^16, and then a bit for each texel, set where it is drawn:
// RasterOpaqueSumsSize(texture) values for RasterCountOpaque to fill. It returns how many texels
// are drawn in all.
size_t RasterOpaqueSumsSize(const RasterTexture& texture);
size_t RasterCountOpaque(const RasterTexture& texture, uint16_t* sums);

// Vertex classes: which clip planes a vertex is beyond and, when it is beyond none, where it
// projects: its row (for sorting triangles into bands of rows), its snapped position in 1/16
// pixels and its 1/z, worked out once for all the triangles that share it.
struct RasterVertexClass {
    uint16_t outcode;
    float row;
    int32_t X, Y;
    float q;
};

// Sorts a mesh's vertices against the clip planes and the scissor rectangle of the whole target.
void RasterClassify(const RasterTarget& target, const RasterView& view, const RasterVertex* vertices, int count,
                    RasterVertexClass* classes);

// The rows a kept triangle's corners project to, for sorting it into bands of rows; from minus to
// plus infinity when it crosses a clip plane.
struct RasterRows {
    float top, bottom;
};

// Keeps the triangles that face the eye and are not wholly beyond one plane or one side: writes
// their indices to `kept`, their rows to `rows`, and returns how many. Both must have room for
// `triangleCount` entries: the entry after the last one kept may be written too. Corners must
// index within `vertexCount` vertices; others are dropped.
int RasterCull(const RasterVertex* vertices, const RasterVertexClass* classes, int vertexCount,
               const RasterTriangle* triangles, int triangleCount, uint32_t* kept, RasterRows* rows);

// Clips, projects and fills the kept triangles into the target's scissor rectangle (a band of
// rows); `kept` indexes `triangles`, whose corners index `vertices` and `classes`, and `rows` goes
// with `kept`. Each triangle that reaches the screen gets its flag in `drawn` set. A band draws
// exactly the pixels of its rows that the whole target would, so bands can be drawn in any order
// or at once.
void RasterFill(const RasterTarget& band, const RasterView& view, const RasterVertex* vertices,
                const RasterVertexClass* classes, const RasterTriangle* triangles, const uint32_t* kept,
                const RasterRows* rows, int keptCount, const RasterTexture* texture, uint8_t* drawn);

// RGB565 from 8-bit channels, by truncation.
inline uint16_t PackRgb565(uint32_t r, uint32_t g, uint32_t b)
{
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
