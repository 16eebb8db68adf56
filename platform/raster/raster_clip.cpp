// The rasteriser's front end: classify, cull, clip against the front and back planes (and a wide
// guard band so fixed point cannot overflow), project and hand triangles to the filler (no library).
#include "raster_internal.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Clip planes; a vertex outside one has its bit set.
const uint16_t CLIP_BITS = 63; // front, back, then the guard band's left, right, top and bottom
// Off one side of the scissor rectangle (only for rejection; the filler scissors the rest).
const uint16_t OFF_LEFT = 64, OFF_RIGHT = 128, OFF_TOP = 256, OFF_BOTTOM = 512;
// Pixels a projected vertex may lie beyond the projection centre before it is clipped.
const float GUARD_PIXELS = 8192.0f;
const int MAX_CLIPPED = 12;

struct ClipVertex {
    float x, y, z, u, v, r, g, b;
};

float PlaneDistance(const RasterView& view, int plane, const ClipVertex& p)
{
    switch (plane) {
    case 0: return p.z - view.front;
    case 1: return view.back - p.z;
    case 2: return view.scale * p.x + GUARD_PIXELS * p.z;
    case 3: return GUARD_PIXELS * p.z - view.scale * p.x;
    case 4: return GUARD_PIXELS * p.z - view.scale * p.y;
    default: return view.scale * p.y + GUARD_PIXELS * p.z;
    }
}

RasterVertexClass Classify(const RasterView& view, const RasterTarget& target, const RasterVertex& v)
{
    // PlaneDistance's six planes written out, the same sums, since every vertex of every frame
    // comes through here.
    const float sx = view.scale * v.x, sy = view.scale * v.y, gz = GUARD_PIXELS * v.z;
    RasterVertexClass c{0, 0.0f, 0, 0, 0.0f};
    auto beyond = [](float distance, int plane) { return (distance >= 0 ? 0 : 1) << plane; };
    c.outcode = static_cast<uint16_t>(beyond(v.z - view.front, 0) | beyond(view.back - v.z, 1) | beyond(sx + gz, 2) |
                                      beyond(gz - sx, 3) | beyond(gz - sy, 4) | beyond(sy + gz, 5));
    if (c.outcode == 0) {
        float q = 1.0f / v.z;
        float px = view.centreX + view.scale * v.x * q;
        float py = view.centreY - view.scale * v.y * q;
        if (px < static_cast<float>(target.clipLeft))
            c.outcode |= OFF_LEFT;
        if (px > static_cast<float>(target.clipRight))
            c.outcode |= OFF_RIGHT;
        if (py < static_cast<float>(target.clipTop))
            c.outcode |= OFF_TOP;
        if (py > static_cast<float>(target.clipBottom))
            c.outcode |= OFF_BOTTOM;
        c.row = py;
        // As Project would snap it.
        c.X = RoundToInt32(px * SUBPIXEL_ONE);
        c.Y = RoundToInt32(py * SUBPIXEL_ONE);
        c.q = q;
    }
    return c;
}

ScreenVertex Project(const RasterView& view, const ClipVertex& p, float textureWidth, float textureHeight)
{
    ScreenVertex s;
    float q = 1.0f / p.z;
    s.X = RoundToInt32((view.centreX + view.scale * p.x * q) * SUBPIXEL_ONE);
    s.Y = RoundToInt32((view.centreY - view.scale * p.y * q) * SUBPIXEL_ONE);
    s.q = q;
    s.uq = p.u * textureWidth * q;
    s.vq = p.v * textureHeight * q;
    s.r = p.r;
    s.g = p.g;
    s.b = p.b;
    return s;
}

float Channel(float light, float face, float emissive)
{
    float v = (light * face + emissive) * 255.0f;
    if (!(v > 0.0f))
        return 0.0f;
    return v < 255.0f ? v : 255.0f;
}

ClipVertex Corner(const RasterVertex& v, const RasterTriangle& t)
{
    return ClipVertex{v.x,
                      v.y,
                      v.z,
                      v.u,
                      v.v,
                      Channel(v.r, t.r, t.emissiveR),
                      Channel(v.g, t.g, t.emissiveG),
                      Channel(v.b, t.b, t.emissiveB)};
}

// Sutherland-Hodgman against one plane. A crossing edge is always cut from its inside end, so two
// faces sharing the edge get the very same new vertex.
int ClipPolygon(const RasterView& view, int plane, const ClipVertex* in, int count, ClipVertex* out)
{
    int made = 0;
    for (int i = 0; i < count; i++) {
        const ClipVertex& a = in[i];
        const ClipVertex& b = in[(i + 1) % count];
        float da = PlaneDistance(view, plane, a);
        float db = PlaneDistance(view, plane, b);
        bool aIn = da >= 0, bIn = db >= 0;
        if (aIn)
            out[made++] = a;
        if (aIn != bIn) {
            const ClipVertex& from = aIn ? a : b;
            const ClipVertex& to = aIn ? b : a;
            float dFrom = aIn ? da : db, dTo = aIn ? db : da;
            float t = dFrom / (dFrom - dTo);
            out[made++] =
                ClipVertex{from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t, from.z + (to.z - from.z) * t,
                           from.u + (to.u - from.u) * t, from.v + (to.v - from.v) * t, from.r + (to.r - from.r) * t,
                           from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t};
        }
    }
    return made;
}

} // namespace

#if defined(__SSE2__)
namespace {

// Floor of v + 1/2, for values well inside the 32-bit range (as projected vertices are): truncated,
// then one less where that went up.
__m128i RoundFour(__m128 v)
{
    const __m128 t = _mm_add_ps(v, _mm_set1_ps(0.5f));
    const __m128i whole = _mm_cvttps_epi32(t);
    const __m128i up = _mm_castps_si128(_mm_cmplt_ps(t, _mm_cvtepi32_ps(whole)));
    return _mm_add_epi32(whole, up); // the mask is -1 where truncation went up
}

// Classify for four vertices at once: the same sums in the same order, lane by lane.
void ClassifyFour(const RasterView& view, const RasterTarget& target, const RasterVertex* v, RasterVertexClass* out)
{
    __m128 x = _mm_loadu_ps(&v[0].x), y = _mm_loadu_ps(&v[1].x), z = _mm_loadu_ps(&v[2].x), w = _mm_loadu_ps(&v[3].x);
    _MM_TRANSPOSE4_PS(x, y, z, w); // now x, y and z of the four vertices; w holds their u
    const __m128 scale = _mm_set1_ps(view.scale), zero = _mm_setzero_ps();
    const __m128 sx = _mm_mul_ps(scale, x), sy = _mm_mul_ps(scale, y), gz = _mm_mul_ps(_mm_set1_ps(GUARD_PIXELS), z);
    auto beyond = [&](__m128 distance, int plane) {
        return _mm_andnot_si128(_mm_castps_si128(_mm_cmpge_ps(distance, zero)), _mm_set1_epi32(1 << plane));
    };
    __m128i outcode =
        _mm_or_si128(_mm_or_si128(_mm_or_si128(beyond(_mm_sub_ps(z, _mm_set1_ps(view.front)), 0),
                                               beyond(_mm_sub_ps(_mm_set1_ps(view.back), z), 1)),
                                  _mm_or_si128(beyond(_mm_add_ps(sx, gz), 2), beyond(_mm_sub_ps(gz, sx), 3))),
                     _mm_or_si128(beyond(_mm_sub_ps(gz, sy), 4), beyond(_mm_add_ps(sy, gz), 5)));
    const __m128 inside = _mm_castsi128_ps(_mm_cmpeq_epi32(outcode, _mm_setzero_si128()));
    // Lanes beyond a plane are worked out too (on a harmless z) and then thrown away.
    const __m128 q = _mm_div_ps(_mm_set1_ps(1.0f), _mm_or_ps(_mm_and_ps(inside, z), _mm_andnot_ps(inside, scale)));
    const __m128 px = _mm_add_ps(_mm_set1_ps(view.centreX), _mm_mul_ps(sx, q));
    const __m128 py = _mm_sub_ps(_mm_set1_ps(view.centreY), _mm_mul_ps(sy, q));
    auto off = [&](__m128 mask, uint16_t bit) {
        return _mm_and_si128(_mm_castps_si128(_mm_and_ps(mask, inside)), _mm_set1_epi32(bit));
    };
    outcode = _mm_or_si128(
        outcode,
        _mm_or_si128(
            _mm_or_si128(off(_mm_cmplt_ps(px, _mm_set1_ps(static_cast<float>(target.clipLeft))), OFF_LEFT),
                         off(_mm_cmpgt_ps(px, _mm_set1_ps(static_cast<float>(target.clipRight))), OFF_RIGHT)),
            _mm_or_si128(off(_mm_cmplt_ps(py, _mm_set1_ps(static_cast<float>(target.clipTop))), OFF_TOP),
                         off(_mm_cmpgt_ps(py, _mm_set1_ps(static_cast<float>(target.clipBottom))), OFF_BOTTOM))));
    const __m128i sixteenth = _mm_castps_si128(inside);
    alignas(16) int32_t codes[4], xs[4], ys[4];
    alignas(16) float rows[4], qs[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(codes), outcode);
    _mm_store_si128(reinterpret_cast<__m128i*>(xs),
                    _mm_and_si128(RoundFour(_mm_mul_ps(px, _mm_set1_ps(SUBPIXEL_ONE))), sixteenth));
    _mm_store_si128(reinterpret_cast<__m128i*>(ys),
                    _mm_and_si128(RoundFour(_mm_mul_ps(py, _mm_set1_ps(SUBPIXEL_ONE))), sixteenth));
    _mm_store_ps(rows, _mm_and_ps(py, inside));
    _mm_store_ps(qs, _mm_and_ps(q, inside));
    for (int i = 0; i < 4; i++)
        out[i] = RasterVertexClass{static_cast<uint16_t>(codes[i]), rows[i], xs[i], ys[i], qs[i]};
}

} // namespace
#endif

void RasterClassify(const RasterTarget& target, const RasterView& view, const RasterVertex* vertices, int count,
                    RasterVertexClass* classes)
{
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4)
        ClassifyFour(view, target, vertices + i, classes + i);
#endif
    for (; i < count; i++)
        classes[i] = Classify(view, target, vertices[i]);
}

int RasterCull(const RasterVertex* vertices, const RasterVertexClass* classes, int vertexCount,
               const RasterTriangle* triangles, int triangleCount, uint32_t* kept, RasterRows* rows)
{
    uint32_t count = vertexCount > 0 ? static_cast<uint32_t>(vertexCount) : 0;
    int made = 0;
    // Every face is written at the end of the list and counted only when kept, without a branch:
    // on the small meshes of a busy frame whether a face is kept cannot be guessed.
    for (int t = 0; t < triangleCount; t++) {
        const RasterTriangle& tri = triangles[t];
        if (tri.v[0] >= count || tri.v[1] >= count || tri.v[2] >= count)
            continue;
        const RasterVertexClass& ka = classes[tri.v[0]];
        const RasterVertexClass& kb = classes[tri.v[1]];
        const RasterVertexClass& kc = classes[tri.v[2]];
        // Wholly beyond one plane or off one side?
        const bool outside = (ka.outcode & kb.outcode & kc.outcode) != 0;
        const RasterVertex& a = vertices[tri.v[0]];
        const RasterVertex& b = vertices[tri.v[1]];
        const RasterVertex& c = vertices[tri.v[2]];
        // Back faces: seen from the eye at the origin the face turns away (or is edge-on).
        float ex = b.x - a.x, ey = b.y - a.y, ez = b.z - a.z;
        float fx = c.x - a.x, fy = c.y - a.y, fz = c.z - a.z;
        float nx = ey * fz - ez * fy, ny = ez * fx - ex * fz, nz = ex * fy - ey * fx;
        const bool facing = nx * a.x + ny * a.y + nz * a.z < 0;
        const bool crossing = ((ka.outcode | kb.outcode | kc.outcode) & CLIP_BITS) != 0;
        // As std::min and std::max, on values, which the compiler makes without a branch.
        auto lesser = [](float x, float y) { return y < x ? y : x; };
        auto greater = [](float x, float y) { return x < y ? y : x; };
        const float top = lesser(ka.row, lesser(kb.row, kc.row));
        const float bottom = greater(ka.row, greater(kb.row, kc.row));
        rows[made].top = crossing ? -std::numeric_limits<float>::infinity() : top;
        rows[made].bottom = crossing ? std::numeric_limits<float>::infinity() : bottom;
        kept[made] = static_cast<uint32_t>(t);
        made += facing & !outside;
    }
    return made;
}

void RasterFill(const RasterTarget& band, const RasterView& view, const RasterVertex* vertices,
                const RasterVertexClass* classes, const RasterTriangle* triangles, const uint32_t* kept,
                const RasterRows* rows, int keptCount, const RasterTexture* texture, uint8_t* drawn)
{
    float textureWidth = texture ? static_cast<float>(1 << texture->widthShift) : 0.0f;
    float textureHeight = texture ? static_cast<float>(1 << texture->heightShift) : 0.0f;
    // A triangle whose corners all project lies within its corners' rows; a pixel row is touched
    // only when its centre is inside, so a margin of one row keeps this test conservative.
    float bandTop = static_cast<float>(band.clipTop) - 1.0f;
    float bandBottom = static_cast<float>(band.clipBottom) + 1.0f;
    for (int k = 0; k < keptCount; k++) {
        if (rows[k].bottom < bandTop || rows[k].top > bandBottom)
            continue; // another band's rows
        uint32_t index = kept[k];
        const RasterTriangle& tri = triangles[index];
        const RasterVertexClass& ka = classes[tri.v[0]];
        const RasterVertexClass& kb = classes[tri.v[1]];
        const RasterVertexClass& kc = classes[tri.v[2]];
        uint16_t crossed = (ka.outcode | kb.outcode | kc.outcode) & CLIP_BITS;
        if (!crossed) {
            // Wholly inside the clip planes (most triangles): the corners were projected already.
            ScreenVertex screen[3];
            const RasterVertexClass* corners[3] = {&ka, &kb, &kc};
#if defined(__SSE2__)
            // Channel's sums for red, green and blue at once, in the last three lanes of
            // (v, r, g, b), as they lie in a vertex and in a screen corner.
            static_assert(offsetof(RasterVertex, r) == offsetof(RasterVertex, v) + 4 &&
                              offsetof(RasterVertex, b) == offsetof(RasterVertex, v) + 12,
                          "red, green and blue follow the second texture coordinate");
            const __m128 face = _mm_setr_ps(0.0f, tri.r, tri.g, tri.b);
            const __m128 emissive = _mm_setr_ps(0.0f, tri.emissiveR, tri.emissiveG, tri.emissiveB);
#endif
            for (int i = 0; i < 3; i++) {
                const RasterVertex& v = vertices[tri.v[i]];
                const RasterVertexClass& k = *corners[i];
                ScreenVertex& s = screen[i];
                s.X = k.X;
                s.Y = k.Y;
                s.q = k.q;
#if defined(__SSE2__)
                const __m128 light = _mm_loadu_ps(&v.v);
                const __m128 channels = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(light, face), emissive), _mm_set1_ps(255.0f));
                // Max gives its second operand where either is NaN, so NaN gives 0 as in Channel.
                _mm_storeu_ps(&s.vq, _mm_min_ps(_mm_max_ps(channels, _mm_setzero_ps()), _mm_set1_ps(255.0f)));
#else
                s.r = Channel(v.r, tri.r, tri.emissiveR);
                s.g = Channel(v.g, tri.g, tri.emissiveG);
                s.b = Channel(v.b, tri.b, tri.emissiveB);
#endif
                s.uq = v.u * textureWidth * k.q;
                s.vq = v.v * textureHeight * k.q;
            }
            if (FillTriangle(band, screen[0], screen[1], screen[2], texture))
                drawn[index] = 1;
            continue;
        }
        ClipVertex polygon[2][MAX_CLIPPED];
        polygon[0][0] = Corner(vertices[tri.v[0]], tri);
        polygon[0][1] = Corner(vertices[tri.v[1]], tri);
        polygon[0][2] = Corner(vertices[tri.v[2]], tri);
        int n = 3, which = 0;
        for (int plane = 0; plane < 6 && n >= 3; plane++) {
            if (!(crossed & (1 << plane)))
                continue;
            n = ClipPolygon(view, plane, polygon[which], n, polygon[1 - which]);
            which = 1 - which;
        }
        if (n < 3)
            continue;
        ScreenVertex screen[MAX_CLIPPED];
        for (int i = 0; i < n; i++)
            screen[i] = Project(view, polygon[which][i], textureWidth, textureHeight);
        bool any = false;
        for (int i = 1; i + 1 < n; i++)
            any |= FillTriangle(band, screen[0], screen[i], screen[i + 1], texture);
        if (any)
            drawn[index] = 1;
    }
}
