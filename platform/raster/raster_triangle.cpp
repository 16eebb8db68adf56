// The rasteriser's triangle filler: exact fixed-point edge walking with the top-left rule, then
// spans with a depth test, perspective-correct texture coordinates and Gouraud colour (no library).
#include "raster_internal.h"

#include <algorithm>
#include <cfloat>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Perspective is corrected at every this many pixels and interpolated linearly in between.
const int PERSPECTIVE_STEP = 16;
const float COLOUR_MAX = 255.0f * 65536.0f;

int64_t FloorDiv(int64_t a, int64_t b) // b > 0
{
    // Small triangles' edges fit in 32 bits, where dividing is several times cheaper.
    if (a == static_cast<int32_t>(a) && b == static_cast<int32_t>(b)) {
        int32_t a32 = static_cast<int32_t>(a), b32 = static_cast<int32_t>(b);
        int32_t q = a32 / b32;
        return q - ((a32 % b32 != 0) & (a32 < 0)); // no branch: the signs come as they come
    }
    int64_t q = a / b;
    return q - ((a % b != 0) & (a < 0));
}

int64_t CeilDiv(int64_t a, int64_t b) // b > 0
{
    return -FloorDiv(-a, b);
}

// First row whose pixel centre (y + 0.5) is at or below the sub-pixel coordinate Y (and likewise
// the first column whose centre is at or right of an X).
int FirstRowAtOrBelow(int32_t Y)
{
    // ceil((Y - 1/2) / 1) in 1/16 pixels, as -floor((1/2 - Y) / 1): shifting right rounds down.
    return static_cast<int>(-((SUBPIXEL_ONE / 2 - static_cast<int64_t>(Y)) >> SUBPIXEL_BITS));
}

// Walks one edge from top to bottom, giving per row the first pixel whose centre lies at or to the
// right of the edge, exactly (integer arithmetic, no drift): a pixel centre on a left edge is
// inside, on a right edge outside, so faces sharing an edge never both paint a pixel or leave a gap.
struct EdgeWalk {
    int64_t x = 0;    // first pixel at or right of the edge on the current row
    int64_t rest = 0; // x * denominator - numerator, in [0, denominator)
    int64_t denominator = 1;
    int64_t stepWhole = 0, stepRest = 0;

    void Start(const ScreenVertex& top, const ScreenVertex& bottom, int row)
    {
        int64_t dY = static_cast<int64_t>(bottom.Y) - top.Y;
        int64_t dX = static_cast<int64_t>(bottom.X) - top.X;
        denominator = SUBPIXEL_ONE * dY;
        int64_t centreY = static_cast<int64_t>(row) * SUBPIXEL_ONE + SUBPIXEL_ONE / 2;
        int64_t numerator = (static_cast<int64_t>(top.X) - SUBPIXEL_ONE / 2) * dY + (centreY - top.Y) * dX;
        x = CeilDiv(numerator, denominator);
        rest = x * denominator - numerator;
        int64_t step = SUBPIXEL_ONE * dX;
        stepWhole = FloorDiv(step, denominator);
        stepRest = step - stepWhole * denominator;
    }

    void NextRow()
    {
        // Without a branch, which would guess wrong every few rows.
        rest -= stepRest;
        const int64_t borrow = rest >> 63; // -1 when the edge crossed one more pixel
        x += stepWhole - borrow;
        rest += denominator & borrow;
    }
};

struct Gradients {
    float originX, originY; // vertex 0 in pixels
    float q0, dqdx, dqdy;
    float u0, dudx, dudy; // u / z
    float v0, dvdx, dvdy; // v / z
    // Red, green and blue side by side (and a fourth lane at zero), so that a span can work out
    // all three at once.
    alignas(16) float colour0[4], dcolourdx[4], dcolourdy[4];
    // The colour when it is the same over the whole face (16.16 fixed point), as every span of
    // the face would work it out.
    bool flat;
    int32_t rFlat, gFlat, bFlat;
};

#if !defined(__SSE2__)
void Plane(float a0, float a1, float a2, float x10, float y10, float x20, float y20, float inverseArea, float* dx,
           float* dy)
{
    *dx = ((a1 - a0) * y20 - (a2 - a0) * y10) * inverseArea;
    *dy = ((a2 - a0) * x10 - (a1 - a0) * x20) * inverseArea;
}

int32_t ColourFixed(float v)
{
    if (!(v > 0.0f))
        return 0;
    return v < COLOUR_MAX ? static_cast<int32_t>(v) : static_cast<int32_t>(COLOUR_MAX);
}
#endif

// 2^32 / length, rounded up, for lengths 1 to PERSPECTIVE_STEP.
struct StepReciprocals {
    uint64_t of[PERSPECTIVE_STEP + 1];
    constexpr StepReciprocals() : of()
    {
        for (int length = 1; length <= PERSPECTIVE_STEP; length++)
            of[length] = ((uint64_t(1) << 32) + static_cast<uint64_t>(length) - 1) / static_cast<uint64_t>(length);
    }
};
constexpr StepReciprocals STEP_RECIPROCALS;

// delta / length, truncated as C++ divides, without a division where it can be helped (the step
// waits on it before a run's second pixel): a whole run divides by a constant (shifts), a shorter
// one multiplies by its length's reciprocal. For a magnitude below 2^28 the product overshoots the
// quotient by less than 2^28 / 2^32 = 1/16, while an inexact quotient falls at least 1/length short
// of the next whole number, so both truncate alike.
inline int64_t StepOver(int64_t delta, int length)
{
    if (length == PERSPECTIVE_STEP)
        return delta / PERSPECTIVE_STEP;
    const uint64_t sign = static_cast<uint64_t>(delta >> 63); // all ones where negative
    const uint64_t magnitude = (static_cast<uint64_t>(delta) ^ sign) - sign;
    if (magnitude < (uint64_t(1) << 28) && length > 0 && length < PERSPECTIVE_STEP) {
        const uint64_t quotient = (magnitude * STEP_RECIPROCALS.of[length]) >> 32;
        return static_cast<int64_t>((quotient ^ sign) - sign);
    }
    if (delta == static_cast<int32_t>(delta))
        return static_cast<int32_t>(delta) / length;
    return delta / length;
}

inline uint32_t Modulate(uint32_t texel, int32_t r, int32_t g, int32_t b)
{
    uint32_t tr = (((texel >> 16) & 0xFF) * ((static_cast<uint32_t>(r) >> 16) + 1)) >> 8;
    uint32_t tg = (((texel >> 8) & 0xFF) * ((static_cast<uint32_t>(g) >> 16) + 1)) >> 8;
    uint32_t tb = ((texel & 0xFF) * ((static_cast<uint32_t>(b) >> 16) + 1)) >> 8;
    return PackRgb565(tr, tg, tb);
}

// A span's colour at its first pixel (16.16, each channel as ColourFixed makes it) and its step
// per pixel towards the colour at its last pixel; no step for a span of one pixel.
inline void SpanColour(const Gradients& g, float dx, float dy, int length, int32_t first[4], int32_t step[4])
{
#if defined(__SSE2__)
    // The same sums, lane by lane, as the plain code below: max against zero also turns NaN to
    // zero, as ColourFixed does.
    const __m128 c0 = _mm_load_ps(g.colour0), cx = _mm_load_ps(g.dcolourdx), cy = _mm_load_ps(g.dcolourdy);
    const __m128 scale = _mm_set1_ps(65536.0f), top = _mm_set1_ps(COLOUR_MAX), zero = _mm_setzero_ps();
    const __m128 across = _mm_mul_ps(cy, _mm_set1_ps(dy));
    const __m128 start = _mm_mul_ps(_mm_add_ps(_mm_add_ps(c0, _mm_mul_ps(cx, _mm_set1_ps(dx))), across), scale);
    const __m128i startFixed = _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(start, zero), top));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(first), startFixed);
    __m128i steps = _mm_setzero_si128();
    if (length > 1) {
        const float span = static_cast<float>(length - 1);
        const float inverse = 1.0f / span;
        const __m128 end =
            _mm_mul_ps(_mm_add_ps(_mm_add_ps(c0, _mm_mul_ps(cx, _mm_set1_ps(dx + span))), across), scale);
        const __m128i endFixed = _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(end, zero), top));
        steps =
            _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(_mm_sub_epi32(endFixed, startFixed)), _mm_set1_ps(inverse)));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(step), steps);
#else
    for (int i = 0; i < 4; i++) {
        first[i] = ColourFixed((g.colour0[i] + g.dcolourdx[i] * dx + g.dcolourdy[i] * dy) * 65536.0f);
        step[i] = 0;
    }
    if (length > 1) {
        const float span = static_cast<float>(length - 1);
        const float inverse = 1.0f / span;
        for (int i = 0; i < 4; i++)
            step[i] = static_cast<int32_t>(
                (ColourFixed((g.colour0[i] + g.dcolourdx[i] * (dx + span) + g.dcolourdy[i] * dy) * 65536.0f) -
                 first[i]) *
                inverse);
    }
#endif
}

// One run of a textured span between two perspective-correct points. A span whose colour does not
// change (most of them: a lit surface far from its light) takes its light factors once.
struct TexturedRun {
    uint16_t* pixels;
    float* depth;
    uint16_t* counts;
    const uint32_t* texels;
    uint32_t uMask, vMask, key;
    int vShift;
};

template <bool DECAL, bool COUNT, bool CONSTANT>
__attribute__((noinline)) void DrawRun(const TexturedRun& run, int x, int end, float q, float dq, uint32_t u,
                                       uint32_t du, uint32_t v, uint32_t dv, int32_t r, int32_t g, int32_t b,
                                       int32_t dr, int32_t dg, int32_t db)
{
    const uint32_t* texels = run.texels;
    const uint32_t uMask = run.uMask, vMask = run.vMask, key = run.key;
    const int vShift = run.vShift;
    uint16_t* pixels = run.pixels;
    float* depth = run.depth;
    uint32_t mr = (static_cast<uint32_t>(r) >> 16) + 1, mg = (static_cast<uint32_t>(g) >> 16) + 1,
             mb = (static_cast<uint32_t>(b) >> 16) + 1;
    for (; x < end; x++) {
        if (q > depth[x]) {
            uint32_t texel = texels[(((v >> 16) & vMask) << vShift) | ((u >> 16) & uMask)];
            if (!DECAL || (texel & RGB565_BITS) != key) {
                depth[x] = q;
                if (CONSTANT)
                    pixels[x] = PackRgb565((((texel >> 16) & 0xFF) * mr) >> 8, (((texel >> 8) & 0xFF) * mg) >> 8,
                                           ((texel & 0xFF) * mb) >> 8);
                else
                    pixels[x] = static_cast<uint16_t>(Modulate(texel, r, g, b));
                if (COUNT)
                    run.counts[x]++;
            }
        }
        q += dq;
        u += du;
        v += dv;
        if (!CONSTANT) {
            r += dr;
            g += dg;
            b += db;
        }
    }
}

// Whether every texel a decal run would sample is transparent, so that drawing it would change
// nothing: its steps are truncated towards zero, so each of its pixels samples between its ends.
bool RunAllTransparent(const RasterTexture& texture, int64_t uStart, int64_t uEnd, int64_t vStart, int64_t vEnd)
{
    // Coordinates whose texel a 32-bit step finds as well: within (-2^31, 2^31). As 0 or 1, to be
    // combined without a branch.
    auto within = [](int64_t c) {
        return static_cast<int>(static_cast<uint64_t>(c) + (uint64_t(1) << 31) - 1 < (uint64_t(1) << 32) - 1);
    };
    if (!(within(uStart) & within(uEnd) & within(vStart) & within(vEnd)))
        return false;
    return !AnyOpaqueTexel(texture, std::min(uStart, uEnd) >> 16, std::max(uStart, uEnd) >> 16,
                           std::min(vStart, vEnd) >> 16, std::max(vStart, vEnd) >> 16);
}

// Whether a decal span of several runs samples only transparent texels, looked up once. Along a
// span in front of the eye the texture coordinates move one way only, so every run's ends lie
// between the span's two ends, but for rounding. While the depth changes by less than half along
// the span, that rounding stays far below the quarter texel added on every side.
bool SpanAllTransparent(const RasterTexture& texture, const Gradients& g, float q, float uq, float vq, int64_t uStart,
                        int64_t vStart, int length)
{
    const float ahead = static_cast<float>(length);
    const float qEnd = q + g.dqdx * ahead;
    if (!(q > 0.0f) || !(qEnd > 0.5f * q) || !(q > 0.5f * qEnd))
        return false;
    const float inverseEnd = 1.0f / qEnd;
    const int64_t uEnd = SaturateToInt64((uq + g.dudx * ahead) * inverseEnd * 65536.0f);
    const int64_t vEnd = SaturateToInt64((vq + g.dvdx * ahead) * inverseEnd * 65536.0f);
    const int64_t slack = 1 << 14;
    return RunAllTransparent(texture, std::min(uStart, uEnd) - slack, std::max(uStart, uEnd) + slack,
                             std::min(vStart, vEnd) - slack, std::max(vStart, vEnd) + slack);
}

// The rows of a decal face may be passed over a few at a time where they sample only transparent
// texels, so that none of their spans need be drawn or looked at. Every texture coordinate a span
// works out lies at a pixel centre of its row, from its first pixel to the one just past its last;
// over a rectangle of such centres, in front of the eye, the coordinates lie within those at its
// corners. So one look-up over the corners' coordinates, widened by a quarter texel, answers for a
// few rows. The rounding of the spans' sums, and of the corners' (the same sums), is bounded once
// for the face from the size of their terms; where it could reach a sixteenth of a texel its rows
// are not looked up. Two sixteenths, and a 64th for finding whole texels, stay inside the quarter.
const float ROW_SLACK = 0.25f;
// Coordinates within +-2^15 texels, where a 32-bit step finds their texel too.
const double ROW_REACH = 32767.0;

// Whether the rows of a face whose pixels lie in columns firstColumn to endColumn - 1 and rows
// firstRow to lastRow may be looked up.
bool RowsCanBeLookedUp(const Gradients& g, int firstColumn, int endColumn, int firstRow, int lastRow)
{
    const double xs[2] = {firstColumn + 0.5 - g.originX, endColumn + 0.5 - g.originX};
    const double ys[2] = {firstRow + 0.5 - g.originY, lastRow + 0.5 - g.originY};
    double qLow = HUGE_VAL, uMost = 0, vMost = 0;
    for (double x : xs) {
        for (double y : ys) {
            const double q = g.q0 + static_cast<double>(g.dqdx) * x + static_cast<double>(g.dqdy) * y;
            if (!(q > 0.0))
                return false;
            qLow = std::min(qLow, q);
            const double uq = g.u0 + static_cast<double>(g.dudx) * x + static_cast<double>(g.dudy) * y;
            const double vq = g.v0 + static_cast<double>(g.dvdx) * x + static_cast<double>(g.dvdy) * y;
            uMost = std::max(uMost, std::fabs(uq / q));
            vMost = std::max(vMost, std::fabs(vq / q));
        }
    }
    // A span adds its start's offset and then a run's: no term of its sums is larger than this.
    const double across = std::max(std::fabs(xs[0]), std::fabs(xs[1])) + (endColumn - firstColumn);
    const double down = std::max(std::fabs(ys[0]), std::fabs(ys[1]));
    const double qTerms = std::fabs(g.q0) + std::fabs(g.dqdx) * across + std::fabs(g.dqdy) * down;
    const double uTerms = std::fabs(g.u0) + std::fabs(g.dudx) * across + std::fabs(g.dudy) * down;
    const double vTerms = std::fabs(g.v0) + std::fabs(g.dvdx) * across + std::fabs(g.dvdy) * down;
    const double epsilon = 8.0 / 16777216.0; // a few single-precision roundings, with room to spare
    const double qError = epsilon * qTerms / qLow;
    const double uError = epsilon * uTerms / qLow + uMost * (qError + epsilon);
    const double vError = epsilon * vTerms / qLow + vMost * (qError + epsilon);
    return qError < 1.0 / 64 && uError < 1.0 / 16 && vError < 1.0 / 16 && uMost < ROW_REACH && vMost < ROW_REACH;
}

// The texels, unwrapped, that the spans of rows top to bottom of a face whose rows can be looked
// up may sample, from column left to right (just past their last pixels).
struct TexelBox {
    int64_t firstU, lastU, firstV, lastV;
};

TexelBox RowsTexels(const Gradients& g, int left, int right, int top, int bottom)
{
    const float xs[2] = {static_cast<float>(left) + 0.5f - g.originX, static_cast<float>(right) + 0.5f - g.originX};
    const float ys[2] = {static_cast<float>(top) + 0.5f - g.originY, static_cast<float>(bottom) + 0.5f - g.originY};
    float uLow = HUGE_VALF, uHigh = -HUGE_VALF, vLow = HUGE_VALF, vHigh = -HUGE_VALF;
    for (float x : xs) {
        for (float y : ys) {
            const float inverse = 1.0f / (g.q0 + g.dqdx * x + g.dqdy * y);
            const float u = (g.u0 + g.dudx * x + g.dudy * y) * inverse;
            const float v = (g.v0 + g.dvdx * x + g.dvdy * y) * inverse;
            uLow = std::min(uLow, u), uHigh = std::max(uHigh, u);
            vLow = std::min(vLow, v), vHigh = std::max(vHigh, v);
        }
    }
    // Whole texels by truncation, on coordinates made positive (they are within the reach).
    auto texel = [](float c) { return static_cast<int64_t>(static_cast<int32_t>(c + 65536.0f)) - 65536; };
    return TexelBox{texel(uLow - ROW_SLACK), texel(uHigh + ROW_SLACK), texel(vLow - ROW_SLACK),
                    texel(vHigh + ROW_SLACK)};
}

// Every run of a span.
const uint64_t ALL_RUNS = ~uint64_t(0);

// Fills the runs of PERSPECTIVE_STEP pixels of a span that `runs` asks for: bit k for the k-th run,
// and every run past the 64th. Whether a run is drawn does not change how any other is.
template <bool TEXTURED, bool DECAL, bool COUNT>
__attribute__((always_inline)) inline void FillSpanRuns(const RasterTarget& target, const RasterTexture* texture,
                                                        const Gradients& g, int row, int left, int right, uint64_t runs)
{
    float dx = static_cast<float>(left) + 0.5f - g.originX;
    float dy = static_cast<float>(row) + 0.5f - g.originY;
    // Colour at the two ends, clamped, so rounding can never push a channel past 255.
    int32_t r = g.rFlat, gg = g.gFlat, b = g.bFlat;
    int32_t dr = 0, dg = 0, db = 0;
    if (!g.flat) {
        int32_t first[4], step[4];
        SpanColour(g, dx, dy, right - left, first, step);
        r = first[0], gg = first[1], b = first[2];
        dr = step[0], dg = step[1], db = step[2];
    }
    float q = g.q0 + g.dqdx * dx + g.dqdy * dy;
    size_t rowStart = static_cast<size_t>(row) * target.pitch;
    uint16_t* pixels = target.pixels + rowStart;
    float* depth = target.depth + rowStart;
    uint16_t* counts = COUNT ? target.writeCounts + rowStart : nullptr;

    if (!TEXTURED) {
        for (int x = left; x < right; x++) {
            if (q > depth[x]) {
                depth[x] = q;
                pixels[x] = PackRgb565(static_cast<uint32_t>(r) >> 16, static_cast<uint32_t>(gg) >> 16,
                                       static_cast<uint32_t>(b) >> 16);
                if (COUNT)
                    counts[x]++;
            }
            q += g.dqdx;
            r += dr;
            gg += dg;
            b += db;
        }
        return;
    }

    const uint32_t* texels = texture->texels;
    const uint32_t uMask = (1u << texture->widthShift) - 1;
    const uint32_t vMask = (1u << texture->heightShift) - 1;
    const int vShift = texture->widthShift;
    const uint32_t key = texture->key & RGB565_BITS;
    float uq = g.u0 + g.dudx * dx + g.dudy * dy;
    float vq = g.v0 + g.dvdx * dx + g.dvdy * dy;
    const bool constant = g.flat || (dr == 0 && dg == 0 && db == 0);
    // Runs asked for one by one lie near a drawn texel: three in four would fail their look-up,
    // which costs more than drawing the others (over transparent texels, drawing writes nothing).
    const bool lookUp = DECAL && texture->opaqueSums && runs == ALL_RUNS;
    const TexturedRun run{pixels, depth, counts, texels, uMask, vMask, key, vShift};
#if defined(__SSE2__)
    if (right - left > 1 && right - left <= PERSPECTIVE_STEP && (runs & 1)) {
        // One run (most spans of small faces): both its ends at once, the sums below lane by
        // lane. Where a coordinate is too large for 32 bits (or not a number), the plain way.
        const float ahead = static_cast<float>(right - left);
        const __m128 inverses =
            _mm_div_ps(_mm_set1_ps(1.0f), _mm_setr_ps(q, q + g.dqdx * ahead, q, q + g.dqdx * ahead));
        const __m128 ends = _mm_mul_ps(_mm_mul_ps(_mm_setr_ps(uq, vq, uq + g.dudx * ahead, vq + g.dvdx * ahead),
                                                  _mm_shuffle_ps(inverses, inverses, _MM_SHUFFLE(1, 1, 0, 0))),
                                       _mm_set1_ps(65536.0f));
        const __m128 limit = _mm_set1_ps(2147483648.0f);
        const __m128 within =
            _mm_and_ps(_mm_cmplt_ps(ends, limit), _mm_cmpgt_ps(ends, _mm_sub_ps(_mm_setzero_ps(), limit)));
        if (_mm_movemask_ps(within) == 0xF) {
            alignas(16) int32_t fixed[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(fixed), _mm_cvttps_epi32(ends));
            const int64_t uStart = fixed[0], vStart = fixed[1], uEnd = fixed[2], vEnd = fixed[3];
            if (lookUp && RunAllTransparent(*texture, uStart, uEnd, vStart, vEnd))
                return;
            const int length = right - left;
            const uint32_t du = static_cast<uint32_t>(StepOver(uEnd - uStart, length));
            const uint32_t dv = static_cast<uint32_t>(StepOver(vEnd - vStart, length));
            if (constant)
                DrawRun<DECAL, COUNT, true>(run, left, right, q, g.dqdx, static_cast<uint32_t>(uStart), du,
                                            static_cast<uint32_t>(vStart), dv, r, gg, b, dr, dg, db);
            else
                DrawRun<DECAL, COUNT, false>(run, left, right, q, g.dqdx, static_cast<uint32_t>(uStart), du,
                                             static_cast<uint32_t>(vStart), dv, r, gg, b, dr, dg, db);
            return;
        }
    }
#endif
    // The first run's start, worked out only when that run is asked for.
    bool started = (runs & 1) != 0; // uStart and vStart are the current run's
    int64_t uStart = 0, vStart = 0;
    if (started) {
        float inverseQ = 1.0f / q;
        uStart = SaturateToInt64(uq * inverseQ * 65536.0f);
        vStart = SaturateToInt64(vq * inverseQ * 65536.0f);
    }
    if (right - left == 1) {
        // One pixel (a sixth of the textured spans of small faces) needs no far end and no steps;
        // its light is the same either way.
        if (started && (!lookUp || !RunAllTransparent(*texture, uStart, uStart, vStart, vStart)))
            DrawRun<DECAL, COUNT, true>(run, left, right, q, g.dqdx, static_cast<uint32_t>(uStart), 0,
                                        static_cast<uint32_t>(vStart), 0, r, gg, b, 0, 0, 0);
        return;
    }
    if (lookUp && right - left > PERSPECTIVE_STEP &&
        SpanAllTransparent(*texture, g, q, uq, vq, uStart, vStart, right - left))
        return;
    // Every run's far end comes from the span's start, not from the run before it, so that the
    // runs' divisions need not wait for one another and a run can be passed over.
    auto coordinatesAt = [&](int pixels, int64_t* u, int64_t* v) {
        const float ahead = static_cast<float>(pixels);
        const float inverse = 1.0f / (q + g.dqdx * ahead);
        *u = SaturateToInt64((uq + g.dudx * ahead) * inverse * 65536.0f);
        *v = SaturateToInt64((vq + g.dvdx * ahead) * inverse * 65536.0f);
    };
    for (int x = left, k = 0; x < right; k++) {
        int length = std::min(PERSPECTIVE_STEP, right - x);
        if (k < 64 && !((runs >> k) & 1)) {
            if ((runs >> k) == 0)
                return; // none further asked for
            started = false;
            x += length;
            r += dr * length;
            gg += dg * length;
            b += db * length;
            continue;
        }
        if (!started)
            coordinatesAt(x - left, &uStart, &vStart);
        int64_t uEnd, vEnd;
        coordinatesAt(x + length - left, &uEnd, &vEnd);
        if (!lookUp || !RunAllTransparent(*texture, uStart, uEnd, vStart, vEnd)) {
            // Steps are taken modulo 2^32; the masks then wrap the texture.
            uint32_t u = static_cast<uint32_t>(uStart), v = static_cast<uint32_t>(vStart);
            uint32_t du = static_cast<uint32_t>(StepOver(uEnd - uStart, length));
            uint32_t dv = static_cast<uint32_t>(StepOver(vEnd - vStart, length));
            float qRun = x == left ? q : q + g.dqdx * static_cast<float>(x - left);
            if (constant)
                DrawRun<DECAL, COUNT, true>(run, x, x + length, qRun, g.dqdx, u, du, v, dv, r, gg, b, dr, dg, db);
            else
                DrawRun<DECAL, COUNT, false>(run, x, x + length, qRun, g.dqdx, u, du, v, dv, r, gg, b, dr, dg, db);
        }
        x += length;
        r += dr * length;
        gg += dg * length;
        b += db * length;
        uStart = uEnd;
        vStart = vEnd;
        started = true;
    }
}

template <bool TEXTURED, bool DECAL, bool COUNT>
void FillSpan(const RasterTarget& target, const RasterTexture* texture, const Gradients& g, int row, int left,
              int right)
{
    FillSpanRuns<TEXTURED, DECAL, COUNT>(target, texture, g, row, left, right, ALL_RUNS);
}

typedef void (*SpanFiller)(const RasterTarget&, const RasterTexture*, const Gradients&, int, int, int);

SpanFiller ChooseFiller(const RasterTarget& target, const RasterTexture* texture)
{
    bool count = target.writeCounts != nullptr;
    if (!texture)
        return count ? FillSpan<false, false, true> : FillSpan<false, false, false>;
    if (texture->decal)
        return count ? FillSpan<true, true, true> : FillSpan<true, true, false>;
    return count ? FillSpan<true, false, true> : FillSpan<true, false, false>;
}

// The attribute planes of a triangle, from its snapped corners sorted from the top; `turn` is
// their doubled area in 1/256 pixels.
void MakeGradients(const ScreenVertex* v0, const ScreenVertex* v1, const ScreenVertex* v2, int64_t turn,
                   const RasterTexture* texture, Gradients& g)
{
    const float toPixels = 1.0f / SUBPIXEL_ONE;
    g.originX = static_cast<float>(v0->X) * toPixels;
    g.originY = static_cast<float>(v0->Y) * toPixels;
    float x10 = static_cast<float>(v1->X - v0->X) * toPixels, y10 = static_cast<float>(v1->Y - v0->Y) * toPixels;
    float x20 = static_cast<float>(v2->X - v0->X) * toPixels, y20 = static_cast<float>(v2->Y - v0->Y) * toPixels;
    float inverseArea = static_cast<float>(SUBPIXEL_ONE * SUBPIXEL_ONE / static_cast<double>(turn));
#if defined(__SSE2__)
    // Plane's sums for four attributes at a time, lane by lane: (q, uq, vq, r) and (vq, r, g, b)
    // lie side by side in a corner.
    const __m128 sx10 = _mm_set1_ps(x10), sy10 = _mm_set1_ps(y10), sx20 = _mm_set1_ps(x20), sy20 = _mm_set1_ps(y20);
    const __m128 inverse = _mm_set1_ps(inverseArea);
    auto planes = [&](size_t offset, __m128* at0, __m128* dx, __m128* dy) {
        auto load = [offset](const ScreenVertex* v) {
            return _mm_loadu_ps(reinterpret_cast<const float*>(reinterpret_cast<const char*>(v) + offset));
        };
        const __m128 a0 = load(v0), d10 = _mm_sub_ps(load(v1), a0), d20 = _mm_sub_ps(load(v2), a0);
        *at0 = a0;
        *dx = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(d10, sy20), _mm_mul_ps(d20, sy10)), inverse);
        *dy = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(d20, sx10), _mm_mul_ps(d10, sx20)), inverse);
    };
    __m128 q0, qdx, qdy, c0, cdx, cdy;
    planes(offsetof(ScreenVertex, q), &q0, &qdx, &qdy);
    planes(offsetof(ScreenVertex, vq), &c0, &cdx, &cdy);
    alignas(16) float q[4], qx[4], qy[4];
    _mm_store_ps(q, q0);
    _mm_store_ps(qx, qdx);
    _mm_store_ps(qy, qdy);
    g.q0 = q[0], g.dqdx = qx[0], g.dqdy = qy[0];
    if (texture) {
        g.u0 = q[1], g.dudx = qx[1], g.dudy = qy[1];
        g.v0 = q[2], g.dvdx = qx[2], g.dvdy = qy[2];
    }
    // Red, green and blue down to the first three lanes, and zero into the fourth.
    auto colours = [](__m128 v) { return _mm_castsi128_ps(_mm_srli_si128(_mm_castps_si128(v), 4)); };
    _mm_store_ps(g.colour0, colours(c0));
    _mm_store_ps(g.dcolourdx, colours(cdx));
    _mm_store_ps(g.dcolourdy, colours(cdy));
    // ColourFixed's clamps as SpanColour makes them, and no slope in red, green or blue.
    const __m128i fixed = _mm_cvttps_epi32(
        _mm_min_ps(_mm_max_ps(_mm_mul_ps(c0, _mm_set1_ps(65536.0f)), _mm_setzero_ps()), _mm_set1_ps(COLOUR_MAX)));
    alignas(16) int32_t flatColour[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(flatColour), fixed);
    g.rFlat = flatColour[1], g.gFlat = flatColour[2], g.bFlat = flatColour[3];
    const __m128 zero = _mm_setzero_ps();
    g.flat = (_mm_movemask_ps(_mm_and_ps(_mm_cmpeq_ps(cdx, zero), _mm_cmpeq_ps(cdy, zero))) & 0xE) == 0xE;
#else
    g.q0 = v0->q;
    Plane(v0->q, v1->q, v2->q, x10, y10, x20, y20, inverseArea, &g.dqdx, &g.dqdy);
    if (texture) {
        g.u0 = v0->uq;
        Plane(v0->uq, v1->uq, v2->uq, x10, y10, x20, y20, inverseArea, &g.dudx, &g.dudy);
        g.v0 = v0->vq;
        Plane(v0->vq, v1->vq, v2->vq, x10, y10, x20, y20, inverseArea, &g.dvdx, &g.dvdy);
    }
    const float corners[3][3] = {{v0->r, v1->r, v2->r}, {v0->g, v1->g, v2->g}, {v0->b, v1->b, v2->b}};
    for (int i = 0; i < 3; i++) {
        g.colour0[i] = corners[i][0];
        Plane(corners[i][0], corners[i][1], corners[i][2], x10, y10, x20, y20, inverseArea, &g.dcolourdx[i],
              &g.dcolourdy[i]);
    }
    g.colour0[3] = g.dcolourdx[3] = g.dcolourdy[3] = 0.0f;
    // No slope at all: every span's ends come to this (a zero slope adds nothing at any pixel).
    g.flat = g.dcolourdx[0] == 0 && g.dcolourdy[0] == 0 && g.dcolourdx[1] == 0 && g.dcolourdy[1] == 0 &&
        g.dcolourdx[2] == 0 && g.dcolourdy[2] == 0;
    g.rFlat = ColourFixed(g.colour0[0] * 65536.0f);
    g.gFlat = ColourFixed(g.colour0[1] * 65536.0f);
    g.bFlat = ColourFixed(g.colour0[2] * 65536.0f);
#endif
}

// Whether the pixel centre of column `column` and row `row` lies at or right of the edge from
// `top` down to `bottom`: the edge walk's test, multiplied out instead of divided.
inline bool AtOrRightOf(const ScreenVertex& top, const ScreenVertex& bottom, int column, int row)
{
    const int64_t dY = static_cast<int64_t>(bottom.Y) - top.Y, dX = static_cast<int64_t>(bottom.X) - top.X;
    const int64_t centreX = static_cast<int64_t>(column) * SUBPIXEL_ONE + SUBPIXEL_ONE / 2;
    const int64_t centreY = static_cast<int64_t>(row) * SUBPIXEL_ONE + SUBPIXEL_ONE / 2;
    return (centreX - top.X) * dY - (centreY - top.Y) * dX >= 0;
}

// Faces whose corners lie within this many pixels across and down are filled from the pixel
// centres of their box, every column of a row tested at once, instead of walked edge by edge:
// the walk's divisions and its guesses at every row cost more than such a face has pixels.
const int SMALL_FACE = 8;

// AtOrRightOf's sum for one edge, at the box's first column on the current row, with its steps to
// the next column and the next row: exact in 32 bits for the corners of a small face.
struct EdgeSum {
    int32_t atRow, perColumn, perRow;
};

EdgeSum MakeEdgeSum(const ScreenVertex& top, const ScreenVertex& bottom, int column, int row)
{
    const int32_t dY = bottom.Y - top.Y, dX = bottom.X - top.X;
    const int32_t centreX = column * SUBPIXEL_ONE + SUBPIXEL_ONE / 2, centreY = row * SUBPIXEL_ONE + SUBPIXEL_ONE / 2;
    return EdgeSum{(centreX - top.X) * dY - (centreY - top.Y) * dX, SUBPIXEL_ONE * dY, -SUBPIXEL_ONE * dX};
}

// Fills a face whose corners (sorted from the top) lie within SMALL_FACE pixels across and down,
// given its box of pixel centres. A centre is inside where it is at or right of the left edge and
// not at or right of the right one: the walk's own tests, so the same pixels.
void FillSmallFace(const RasterTarget& target, const ScreenVertex* v0, const ScreenVertex* v1, const ScreenVertex* v2,
                   int64_t turn, const RasterTexture* texture, int firstColumn, int endColumn, int firstRow,
                   int middleRow, int endRow)
{
    const bool longOnLeft = turn > 0;
    EdgeSum longEdge = MakeEdgeSum(*v0, *v2, firstColumn, firstRow);
    EdgeSum upper = MakeEdgeSum(*v0, *v1, firstColumn, firstRow), lower = MakeEdgeSum(*v1, *v2, firstColumn, firstRow);
    const unsigned columns = (1u << (endColumn - firstColumn)) - 1;
    unsigned rows[SMALL_FACE];
    int rowOf[SMALL_FACE];
    int listed = 0;
#if defined(__SSE2__)
    // Eight columns in two sets of four lanes; every choice made with masks, as none can be guessed.
    auto lanes = [](const EdgeSum& e, __m128i* low, __m128i* high) {
        *low = _mm_setr_epi32(0, e.perColumn, 2 * e.perColumn, 3 * e.perColumn);
        *high = _mm_add_epi32(*low, _mm_set1_epi32(4 * e.perColumn));
    };
    __m128i long0, long1, upper0, upper1, lower0, lower1;
    lanes(longEdge, &long0, &long1);
    lanes(upper, &upper0, &upper1);
    lanes(lower, &lower0, &lower1);
    const __m128i longLeft = _mm_set1_epi32(-static_cast<int32_t>(longOnLeft));
#endif
    for (int row = firstRow; row < endRow; row++) {
        const bool above = row < middleRow; // on the upper part of the short side
#if defined(__SSE2__)
        const __m128i pick = _mm_set1_epi32(-static_cast<int32_t>(above));
        const __m128i shortAt = _mm_set1_epi32(above ? upper.atRow : lower.atRow);
        const __m128i short0 = _mm_or_si128(_mm_and_si128(pick, upper0), _mm_andnot_si128(pick, lower0));
        const __m128i short1 = _mm_or_si128(_mm_and_si128(pick, upper1), _mm_andnot_si128(pick, lower1));
        const __m128i longAt = _mm_set1_epi32(longEdge.atRow);
        auto inside = [&](__m128i longSums, __m128i shortSums) {
            // Past one edge but not the other, and the one passed is the left edge.
            const __m128i pastLong = _mm_cmpgt_epi32(longSums, _mm_set1_epi32(-1));
            const __m128i pastShort = _mm_cmpgt_epi32(shortSums, _mm_set1_epi32(-1));
            return _mm_andnot_si128(_mm_xor_si128(pastLong, longLeft), _mm_xor_si128(pastLong, pastShort));
        };
        const __m128i in0 = inside(_mm_add_epi32(longAt, long0), _mm_add_epi32(shortAt, short0));
        const __m128i in1 = inside(_mm_add_epi32(longAt, long1), _mm_add_epi32(shortAt, short1));
        const unsigned found = (static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(in0))) |
                                static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(in1))) << 4) &
            columns;
#else
        const EdgeSum& shortEdge = above ? upper : lower;
        unsigned found = 0;
        int32_t l = longEdge.atRow, s = shortEdge.atRow;
        for (int i = 0; i < SMALL_FACE; i++, l += longEdge.perColumn, s += shortEdge.perColumn) {
            const bool pastLong = l >= 0, pastShort = s >= 0;
            found |= static_cast<unsigned>((pastLong != pastShort) & (pastLong == longOnLeft)) << i;
        }
        found &= columns;
#endif
        // Listed whether or not it holds a pixel, and counted only if it does.
        rows[listed] = found;
        rowOf[listed] = row;
        listed += found != 0;
        longEdge.atRow += longEdge.perRow;
        upper.atRow += upper.perRow;
        lower.atRow += lower.perRow;
    }
    if (listed == 0)
        return;
    Gradients g;
    MakeGradients(v0, v1, v2, turn, texture, g);
    SpanFiller fill = ChooseFiller(target, texture);
    for (int i = 0; i < listed; i++) {
        // A row's centres inside are side by side: from its lowest bit set to its highest.
        fill(target, texture, g, rowOf[i], firstColumn + __builtin_ctz(rows[i]),
             firstColumn + 32 - __builtin_clz(rows[i]));
    }
}

// Rows of a decal face, walked before any is drawn (a mask of 64 bits holds one bit per row).
struct RowBlock {
    static const int ROWS = 64;
    int top = 0, count = 0;
    int left[ROWS], right[ROWS];
};
static_assert(RowBlock::ROWS <= 64, "a block's rows are marked in 64 bits");

// A block whose texels hold this many drawn ones or fewer (the stars of a starry sky), within
// this many texels, has each found and put on the screen, and only the runs that may sample one
// are drawn: a star covers a row or two of a block, and a run or two of each.
const uint32_t FEW_STARS = 32;
const int64_t STAR_SEARCH = 16384;
// How near the point found for a texel's middle must map to it, in texels.
const double STAR_CHECK = 1.0 / 1024;
// Otherwise the rows are looked up this many at a time. Eight: fewer rows are looked up too
// often, more are passed over too seldom.
const int LOOK_UP_ROWS = 8;

// The face's map from the screen (x, y from its origin, and 1) to (uq, vq, q), turned round: the
// adjugate of its matrix takes (u, v, 1) to a multiple of the point of the plane that shows it.
struct TextureToScreen {
    double m[3][3];
    double sign; // the determinant's: the multiple is positive where the point is in front of the eye
};

TextureToScreen InvertMap(const Gradients& g)
{
    const double a[3][3] = {{g.dudx, g.dudy, g.u0}, {g.dvdx, g.dvdy, g.v0}, {g.dqdx, g.dqdy, g.q0}};
    TextureToScreen t;
    for (int i = 0; i < 3; i++) {
        for (int j = 0; j < 3; j++) {
            const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            t.m[i][j] = a[r0][c0] * a[r1][c1] - a[r0][c1] * a[r1][c0];
        }
    }
    const double determinant = a[0][0] * t.m[0][0] + a[0][1] * t.m[1][0] + a[0][2] * t.m[2][0];
    t.sign = determinant > 0 ? 1.0 : -1.0;
    return t;
}

// Where on the screen, in pixels, lie the points of a face's plane that map within ROW_SLACK of
// texel (u, v), unwrapped: within left..right and top..bottom. False where that cannot be told:
// the texel lies near the plane's horizon, or the point found for its middle is too far from
// exact to trust (the plane seen edge on).
struct ScreenBox {
    double left, right, top, bottom;
};

bool TexelOnScreen(const Gradients& g, const TextureToScreen& inverse, int64_t u, int64_t v, ScreenBox* box)
{
    // The point that shows the texel's middle...
    const auto& m = inverse.m;
    const double cu = static_cast<double>(u) + 0.5, cv = static_cast<double>(v) + 0.5;
    const double w = (m[2][0] * cu + m[2][1] * cv + m[2][2]) * inverse.sign;
    const double x = (m[0][0] * cu + m[0][1] * cv + m[0][2]) * inverse.sign / w;
    const double y = (m[1][0] * cu + m[1][1] * cv + m[1][2]) * inverse.sign / w;
    // ...maps within STAR_CHECK of it (uq - cu q, unless q is not positive; NaN and infinities
    // fail here too), so the texel widened by ROW_SLACK lies within `reach` of what it maps to.
    const double q = g.q0 + g.dqdx * x + g.dqdy * y;
    const double missU = g.u0 + g.dudx * x + g.dudy * y - cu * q;
    const double missV = g.v0 + g.dvdx * x + g.dvdy * y - cv * q;
    if (!(q > 0) || !(std::fabs(missU) < STAR_CHECK * q) || !(std::fabs(missV) < STAR_CHECK * q))
        return false;
    const double reach = 0.5 + ROW_SLACK + STAR_CHECK;
    // A step d from there moves the point by (A d - (x, y) (b . d)) / (w + b . d), A and b being the
    // adjugate's rows for x, y and w: bounded for every d within `reach` while w keeps its sign.
    // (`w` was worked out at the middle asked, not the one found: STAR_CHECK more for that, and
    // a few roundings of its terms.)
    const double bSum = std::fabs(m[2][0]) + std::fabs(m[2][1]);
    const double rounding = 8 * DBL_EPSILON * (std::fabs(m[2][0] * cu) + std::fabs(m[2][1] * cv) + std::fabs(m[2][2]));
    const double below = w - bSum * (reach + STAR_CHECK) - rounding;
    if (!(below > 0.5 * w))
        return false;
    const double across = ((std::fabs(m[0][0]) + std::fabs(m[0][1])) * reach + std::fabs(x) * bSum * reach) / below;
    const double down = ((std::fabs(m[1][0]) + std::fabs(m[1][1])) * reach + std::fabs(y) * bSum * reach) / below;
    // Back to screen pixels, with room for the rounding of all this.
    const double margin = 1.0 / 1024;
    const double wideX = across * (1 + 1e-9) + margin, wideY = down * (1 + 1e-9) + margin;
    *box = ScreenBox{g.originX + x - wideX, g.originX + x + wideX, g.originY + y - wideY, g.originY + y + wideY};
    return std::isfinite(box->left + box->right + box->top + box->bottom);
}

// Marks in `runs` (a mask per row of the block) the runs that may sample texel (u, v): those whose
// pixel centres, from the first to the one just past the last, reach into the texel's box on the
// screen. A run samples within a sixteenth of a texel of the coordinates along that line. False
// where the texel's place cannot be told.
bool MarkRunsNearTexel(const Gradients& g, const TextureToScreen& inverse, const RowBlock& block, int64_t u, int64_t v,
                       uint64_t runs[], uint64_t* rows)
{
    ScreenBox box;
    if (!TexelOnScreen(g, inverse, u, v, &box))
        return false;
    // The rows whose pixel centres lie within the box's (both within the block here, so the
    // conversions are defined).
    const double above = box.top - 0.5 - block.top, below = box.bottom - 0.5 - block.top;
    if (below < 0 || above > block.count - 1)
        return true;
    const int firstRow = static_cast<int>(std::ceil(std::max(above, 0.0)));
    const int lastRow = static_cast<int>(std::min(below, block.count - 1.0));
    for (int i = firstRow; i <= lastRow; i++) {
        const int left = block.left[i], right = block.right[i];
        if (left >= right)
            continue;
        if (box.right < left + 0.5 || box.left > right + 0.5)
            continue;
        // Run k's centres run from left + 16k + 0.5 to the start of the next run (or right), + 0.5:
        // the runs from the one whose end reaches the box's left to the one whose start reaches
        // its right. (Both within the span here, so the conversions are defined.)
        const int lastRun = (right - left - 1) / PERSPECTIVE_STEP;
        if (lastRun >= 64)
            return false;
        const int reachLeft = static_cast<int>(std::max(box.left - left - 0.5, 0.0)); // whole pixels, down
        const int reachRight = static_cast<int>(std::min(box.right - left - 0.5, right - left + 0.0));
        const int from = std::min(std::max(reachLeft - 1, 0) / PERSPECTIVE_STEP, lastRun);
        const int to = std::min(reachRight / PERSPECTIVE_STEP, lastRun);
        runs[i] |= (ALL_RUNS >> (63 - to)) & (ALL_RUNS << from);
        *rows |= uint64_t(1) << i;
    }
    return true;
}

// Draws the runs of a block's spans that may sample one of the `drawn` texels of its box (all of
// them drawn, since the box was counted); false, having drawn nothing, where they cannot be found
// so, and the block is to be drawn whole.
template <bool COUNT>
bool FillRunsNearStars(const RasterTarget& target, const RasterTexture& texture, const Gradients& g,
                       const RowBlock& block, const TexelBox& box, uint32_t drawn)
{
    const int64_t width = int64_t(1) << texture.widthShift, height = int64_t(1) << texture.heightShift;
    const int64_t across = box.lastU - box.firstU + 1, down = box.lastV - box.firstV + 1;
    // Within one repeat of the texture (where the count holds for the box), and not too many to search.
    if (drawn > FEW_STARS || across >= width || down >= height || across * down > STAR_SEARCH)
        return false;
    const TextureToScreen inverse = InvertMap(g);
    uint64_t runs[RowBlock::ROWS] = {};
    uint64_t rows = 0; // those with a run marked
    uint32_t found = 0;
    // The box's columns as at most two ranges of the texture's (where it straddles its edge), each
    // with the unwrapped column of its first.
    const int64_t from = box.firstU & (width - 1);
    const int64_t ranges[2][3] = {{from, std::min(from + across, width) - 1, box.firstU},
                                  {0, from + across - width - 1, box.firstU + (width - from)}};
    for (int64_t v = box.firstV; v <= box.lastV && found < drawn; v++) {
        const int64_t row = v & (height - 1);
        for (const auto& range : ranges) {
            for (int64_t word = range[0] >> 6; word <= range[1] >> 6 && range[0] <= range[1]; word++) {
                uint64_t bits = OpaqueBits(texture, row, word);
                if (word == range[0] >> 6)
                    bits &= ~uint64_t(0) << (range[0] & 63);
                if (word == range[1] >> 6)
                    bits &= ~uint64_t(0) >> (63 - (range[1] & 63));
                for (; bits; bits &= bits - 1) {
                    const int64_t column = word * 64 + __builtin_ctzll(bits);
                    if (!MarkRunsNearTexel(g, inverse, block, range[2] + (column - range[0]), v, runs, &rows))
                        return false;
                    found++;
                }
            }
        }
    }
    for (; rows; rows &= rows - 1) {
        const int i = __builtin_ctzll(rows);
        FillSpanRuns<true, true, COUNT>(target, &texture, g, block.top + i, block.left[i], block.right[i], runs[i]);
    }
    return true;
}

// The least and greatest column of rows first..last of a block that hold pixels; false if none do.
bool BlockColumns(const RowBlock& block, int first, int last, int* low, int* high)
{
    *low = INT32_MAX, *high = INT32_MIN;
    for (int i = first; i <= last; i++) {
        if (block.left[i] < block.right[i]) {
            *low = std::min(*low, block.left[i]);
            *high = std::max(*high, block.right[i]);
        }
    }
    return *low < *high;
}

// Draws a block's rows, unless together they sample only transparent texels. Where they sample a
// few, only the runs near those are drawn; else the rows are looked up a few at a time, and drawn
// whole where they sample any. (Looking again at parts of a few rows that sample any costs more
// than it passes over.)
void FillRowBlock(const RasterTarget& target, const RasterTexture* texture, const Gradients& g, SpanFiller fill,
                  const RowBlock& block)
{
    int low, high;
    if (!BlockColumns(block, 0, block.count - 1, &low, &high))
        return;
    const TexelBox box = RowsTexels(g, low, high, block.top, block.top + block.count - 1);
    const uint32_t drawn = OpaqueTexelCount(*texture, box.firstU, box.lastU, box.firstV, box.lastV);
    if (drawn == 0)
        return;
    const bool done = target.writeCounts ? FillRunsNearStars<true>(target, *texture, g, block, box, drawn)
                                         : FillRunsNearStars<false>(target, *texture, g, block, box, drawn);
    if (done)
        return;
    for (int first = 0; first < block.count; first += LOOK_UP_ROWS) {
        const int last = std::min(first + LOOK_UP_ROWS, block.count) - 1;
        if (!BlockColumns(block, first, last, &low, &high))
            continue;
        const TexelBox rows = RowsTexels(g, low, high, block.top + first, block.top + last);
        if (!AnyOpaqueTexel(*texture, rows.firstU, rows.lastU, rows.firstV, rows.lastV))
            continue;
        for (int i = first; i <= last; i++)
            if (block.left[i] < block.right[i])
                fill(target, texture, g, block.top + i, block.left[i], block.right[i]);
    }
}

} // namespace

bool FillTriangle(const RasterTarget& target, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                  const RasterTexture* texture)
{
    int64_t area = (static_cast<int64_t>(b.X) - a.X) * (static_cast<int64_t>(c.Y) - a.Y) -
        (static_cast<int64_t>(c.X) - a.X) * (static_cast<int64_t>(b.Y) - a.Y);
    if (area <= 0)
        return false; // turned away once snapped, or no area
    // Sorted from the top without a branch (the compiler makes branches of a plain swap): small
    // faces come in any order, which no branch predictor can guess. Corners on one row keep their
    // order.
    uintptr_t top = reinterpret_cast<uintptr_t>(&a), middle = reinterpret_cast<uintptr_t>(&b),
              bottom = reinterpret_cast<uintptr_t>(&c);
    auto order = [](uintptr_t& upper, uintptr_t& lower) {
        const bool below =
            reinterpret_cast<const ScreenVertex*>(lower)->Y < reinterpret_cast<const ScreenVertex*>(upper)->Y;
        const uintptr_t change = (upper ^ lower) & (uintptr_t(0) - below);
        upper ^= change;
        lower ^= change;
    };
    order(top, middle);
    order(middle, bottom);
    order(top, middle);
    const ScreenVertex* v0 = reinterpret_cast<const ScreenVertex*>(top);
    const ScreenVertex* v1 = reinterpret_cast<const ScreenVertex*>(middle);
    const ScreenVertex* v2 = reinterpret_cast<const ScreenVertex*>(bottom);

    int firstRow = std::max(FirstRowAtOrBelow(v0->Y), target.clipTop);
    int middleRow = FirstRowAtOrBelow(v1->Y);
    int endRow = std::min(FirstRowAtOrBelow(v2->Y), target.clipBottom);
    // Likewise for columns: every span lies between the leftmost and the rightmost corner, and
    // many small triangles hold no pixel centre there. (These too without a branch, and one test
    // for rows and columns.)
    auto least = [](int32_t x, int32_t y) { return y ^ ((x ^ y) & -static_cast<int32_t>(x < y)); };
    auto greatest = [](int32_t x, int32_t y) { return y ^ ((x ^ y) & -static_cast<int32_t>(x > y)); };
    const int32_t leftmost = least(a.X, least(b.X, c.X)), rightmost = greatest(a.X, greatest(b.X, c.X));
    const int firstColumn = std::max(FirstRowAtOrBelow(leftmost), target.clipLeft);
    const int endColumn = std::min(FirstRowAtOrBelow(rightmost), target.clipRight);
    if ((firstRow >= endRow) | (firstColumn >= endColumn))
        return true;

    // The corners' turn, exact in integers; its size is the doubled area in 1/256 pixels.
    int64_t turn = (static_cast<int64_t>(v1->X) - v0->X) * (static_cast<int64_t>(v2->Y) - v0->Y) -
        (static_cast<int64_t>(v2->X) - v0->X) * (static_cast<int64_t>(v1->Y) - v0->Y);

    // The long edge runs from the top vertex to the bottom one; the middle vertex is on its right
    // when the sorted corners turn clockwise.
    bool longOnLeft = turn > 0;

    // Two in five of the triangles that get this far hold one or two pixel centres between their
    // corners: those centres are tested one by one against the edges the walk would use, which
    // needs no division.
    const int boxPixels = (endColumn - firstColumn) * (endRow - firstRow);
    if (boxPixels <= 2) {
        // The box's first pixel centre and its second, to the right or below, if it has one; both
        // tested without a branch, as whether a centre is inside cannot be guessed.
        auto inside = [&](int column, int row) {
            const bool lower = row >= middleRow;
            const bool pastLong = AtOrRightOf(*v0, *v2, column, row);
            const bool pastShort = AtOrRightOf(lower ? *v1 : *v0, lower ? *v2 : *v1, column, row);
            return (pastLong != pastShort) & (pastLong == longOnLeft);
        };
        const bool twoRows = endRow - firstRow == 2;
        const bool first = inside(firstColumn, firstRow);
        const bool second = (boxPixels == 2) & inside(firstColumn + !twoRows, firstRow + twoRows);
        if (!(first | second))
            return true;
        Gradients g;
        MakeGradients(v0, v1, v2, turn, texture, g);
        SpanFiller fill = ChooseFiller(target, texture);
        if (!twoRows) {
            fill(target, texture, g, firstRow, firstColumn + !first, firstColumn + 1 + second);
        } else {
            if (first)
                fill(target, texture, g, firstRow, firstColumn, firstColumn + 1);
            if (second)
                fill(target, texture, g, firstRow + 1, firstColumn, firstColumn + 1);
        }
        return true;
    }

    if (rightmost - leftmost <= SMALL_FACE * SUBPIXEL_ONE && v2->Y - v0->Y <= SMALL_FACE * SUBPIXEL_ONE) {
        FillSmallFace(target, v0, v1, v2, turn, texture, firstColumn, endColumn, firstRow, middleRow, endRow);
        return true;
    }

    EdgeWalk longEdge, shortEdge;
    longEdge.Start(*v0, *v2, firstRow);
    bool upperHalf = firstRow < middleRow;
    if (upperHalf)
        shortEdge.Start(*v0, *v1, firstRow);
    else
        shortEdge.Start(*v1, *v2, firstRow);
    int64_t left = 0, right = 0;
    // The span of `row`, scissored; the short edge turns at the middle vertex. (Inlined in both
    // walks below, as it would be in one.)
    auto spanOf = [&](int row) __attribute__((always_inline))
    {
        if (upperHalf && row == middleRow) {
            upperHalf = false;
            shortEdge.Start(*v1, *v2, row);
        }
        left = std::max<int64_t>(longOnLeft ? longEdge.x : shortEdge.x, target.clipLeft);
        right = std::min<int64_t>(longOnLeft ? shortEdge.x : longEdge.x, target.clipRight);
    };

    // Down to the first row that holds a pixel: a third of the triangles that get this far are
    // slivers between pixel centres, and those need no gradients.
    int row = firstRow;
    for (;;) {
        spanOf(row);
        if (left < right)
            break;
        longEdge.NextRow();
        shortEdge.NextRow();
        if (++row >= endRow)
            return true;
    }

    // Attribute planes, from the snapped positions.
    Gradients g;
    MakeGradients(v0, v1, v2, turn, texture, g);

    SpanFiller fill = ChooseFiller(target, texture);
    if (texture && texture->decal && texture->opaqueSums &&
        RowsCanBeLookedUp(g, firstColumn, endColumn, row, endRow - 1)) {
        // A starry sky is mostly transparent: its rows are walked a few at a time and passed over
        // together where they sample no drawn texel.
        RowBlock block;
        for (;;) {
            block.top = row;
            block.count = 0;
            bool last = false;
            while (block.count < RowBlock::ROWS && !last) {
                block.left[block.count] = static_cast<int>(left);
                block.right[block.count] = static_cast<int>(right);
                block.count++;
                longEdge.NextRow();
                shortEdge.NextRow();
                last = ++row >= endRow;
                if (!last)
                    spanOf(row);
            }
            FillRowBlock(target, texture, g, fill, block);
            if (last)
                return true;
        }
    }
    for (;;) {
        if (left < right)
            fill(target, texture, g, row, static_cast<int>(left), static_cast<int>(right));
        longEdge.NextRow();
        shortEdge.NextRow();
        if (++row >= endRow)
            return true;
        spanOf(row);
    }
}
