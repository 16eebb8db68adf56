// Textures and texture wraps (no library; bitmaps arrive decoded by the display helper).
#include "d3drm_objects.h"

#include <cmath>
#include <map>
#include <utility>

namespace {

const float TWO_PI = 6.28318530718f;
const int MAX_TEXTURE_SIDE_SHIFT = 11; // 2048 texels

int SideShift(int side)
{
    int shift = 0;
    while ((1 << shift) < side && shift < MAX_TEXTURE_SIDE_SHIFT)
        shift++;
    return shift;
}

} // namespace

HRESULT TextureObject::SetDecalTransparency(BOOL on)
{
    decal = on != FALSE;
    return D3DRM_OK;
}

HRESULT TextureObject::SetDecalTransparentColor(D3DCOLOR colour)
{
    transparentColour = colour & 0x00FFFFFFu;
    return D3DRM_OK;
}

// The rasteriser wraps coordinates with masks, so odd sizes are resampled (nearest texel) to the
// next power of two; the picture still spans one repeat.
void SetTexturePixels(TextureObject* texture, const DecodedBitmap& bitmap)
{
    texture->widthShift = SideShift(bitmap.width);
    texture->heightShift = SideShift(bitmap.height);
    int width = 1 << texture->widthShift;
    int height = 1 << texture->heightShift;
    texture->texels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; y++) {
        int sourceY = static_cast<int>(static_cast<int64_t>(y) * bitmap.height / height);
        for (int x = 0; x < width; x++) {
            int sourceX = static_cast<int>(static_cast<int64_t>(x) * bitmap.width / width);
            texture->texels[static_cast<size_t>(y) * width + x] =
                bitmap.pixels[static_cast<size_t>(sourceY) * bitmap.width + sourceX] & 0x00FFFFFFu;
        }
    }
    texture->loaded = true;
    texture->opaqueSumsMade = false;
}

void WrapAxes(Vec3 direction, Vec3 up, Vec3* x, Vec3* y, Vec3* z)
{
    // The same rules as a frame's orientation, starting from the identity: a zero direction means
    // +z, and a zero up (the earth's wrap) the first of +y, +z, +x that is not along it.
    Vec3 axisZ;
    if (!Normalise(direction, &axisZ))
        axisZ = MakeVec3(0, 0, 1);
    Vec3 candidates[] = {up, MakeVec3(0, 1, 0), MakeVec3(0, 0, 1), MakeVec3(1, 0, 0)};
    Vec3 axisY = MakeVec3(0, 1, 0);
    for (Vec3 c : candidates) {
        Vec3 across = c - axisZ * Dot(c, axisZ);
        if (Length(c) > 1e-12f && Length(across) > 1e-5f * Length(c) && Normalise(across, &axisY))
            break;
    }
    *x = Cross(axisY, axisZ);
    *y = axisY;
    *z = axisZ;
}

// Texture coordinates for every vertex of a mesh, from its scaled vertices. A sphere wrap gives
// each vertex the angle about the wrap's z axis as u; where a face straddles the seam (u jumping
// from near 1 back to 0) its low corners get copies of their vertices with u one turn on, and a
// vertex on the axis itself (no angle) gets a copy per face with the mean u of the other corners,
// so no face smears the whole texture across itself.
HRESULT WrapObject::Apply(LPDIRECT3DRMOBJECT object)
{
    MeshBuilderObject* mesh = dynamic_cast<MeshBuilderObject*>(object);
    if (!mesh)
        return D3DRMERR_BADOBJECT;
    size_t count = mesh->positions.size();
    mesh->us.assign(count, 0.0f);
    mesh->vs.assign(count, 0.0f);
    std::vector<bool> onAxis(count, false);
    std::vector<float> turns(count, 0.0f); // angle about the axis, in turns from 0 to 1
    for (size_t i = 0; i < count; i++) {
        Vec3 q = mesh->positions[i] - origin;
        float x = Dot(q, axisX), y = Dot(q, axisY), z = Dot(q, axisZ);
        if (type == D3DRMWRAP_FLAT) {
            mesh->us[i] = su * x - ou;
            mesh->vs[i] = sv * y - ov;
            continue;
        }
        float across = std::sqrt(x * x + y * y);
        float turn = std::atan2(y, x) / TWO_PI;
        if (turn < 0)
            turn += 1.0f;
        float fromAxis = std::atan2(across, z) / (TWO_PI * 0.5f);
        onAxis[i] = !(across > 1e-6f * (std::fabs(z) + across));
        turns[i] = turn;
        mesh->us[i] = su * turn - ou;
        mesh->vs[i] = sv * fromAxis - ov;
    }
    if (type != D3DRMWRAP_SPHERE)
        return D3DRM_OK;

    std::map<std::pair<uint32_t, float>, uint32_t> copies; // (vertex, u) -> vertex holding that u
    auto vertexWithU = [&](uint32_t vertex, float u) -> uint32_t {
        auto key = std::make_pair(vertex, u);
        auto found = copies.find(key);
        if (found != copies.end())
            return found->second;
        uint32_t made = static_cast<uint32_t>(mesh->positions.size());
        mesh->positions.push_back(mesh->positions[vertex]);
        mesh->normals.push_back(mesh->normals[vertex]);
        mesh->vs.push_back(mesh->vs[vertex]);
        mesh->us.push_back(u);
        copies.emplace(key, made);
        return made;
    };
    for (MeshFace& face : mesh->faces) {
        float t[3];
        float low = 2.0f, high = -1.0f, sum = 0;
        int offAxis = 0;
        for (int k = 0; k < 3; k++) {
            t[k] = turns[face.v[k]];
            if (onAxis[face.v[k]])
                continue;
            offAxis++;
            low = std::fmin(low, t[k]);
            high = std::fmax(high, t[k]);
        }
        for (int k = 0; k < 3; k++) {
            if (onAxis[face.v[k]])
                continue;
            if (high - low > 0.5f && t[k] - low < 0.5f)
                t[k] += 1.0f;
            sum += t[k];
        }
        for (int k = 0; k < 3; k++) {
            uint32_t vertex = face.v[k];
            if (onAxis[vertex] && offAxis > 0)
                t[k] = sum / static_cast<float>(offAxis);
            if (t[k] != turns[vertex])
                face.v[k] = vertexWithU(vertex, su * t[k] - ou);
        }
    }
    return D3DRM_OK;
}
