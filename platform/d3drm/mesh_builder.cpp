// Mesh builders (no library): DirectX .x models from our own reader, scaled and textured.
#include "d3drm_objects.h"
#include "unsupported.h"
#include "xfile_reader.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>
#include <utility>

namespace {

// Each vertex's normal is the normalised sum of the unit normals of the faces at its position
// (vertices at one position share it, across materials too).
void ComputeSmoothNormals(MeshBuilderObject* mesh)
{
    std::map<std::tuple<float, float, float>, Vec3> sums;
    auto key = [&](uint32_t v) {
        const Vec3& p = mesh->positions[v];
        return std::make_tuple(p.x, p.y, p.z);
    };
    for (const MeshFace& face : mesh->faces) {
        Vec3 a = mesh->positions[face.v[0]], b = mesh->positions[face.v[1]], c = mesh->positions[face.v[2]];
        Vec3 unit;
        // Clockwise front faces in a left-handed system: (b - a) x (c - a) points out of the front.
        if (!Normalise(Cross(b - a, c - a), &unit))
            continue;
        for (int k = 0; k < 3; k++) {
            Vec3& sum = sums[key(face.v[k])];
            sum = sum + unit;
        }
    }
    for (size_t v = 0; v < mesh->positions.size(); v++) {
        auto found = sums.find(key(static_cast<uint32_t>(v)));
        Vec3 n = MakeVec3(0, 0, 0);
        if (found != sums.end() && !Normalise(found->second, &n))
            n = MakeVec3(0, 0, 0);
        mesh->normals[v] = n;
    }
}

} // namespace

MeshBuilderObject::~MeshBuilderObject()
{
    if (texture)
        texture->Release();
}

// A file that cannot be read, or that the reader refuses, leaves the builder empty.
HRESULT MeshBuilderObject::Load(LPVOID fileName, LPVOID objectName, D3DRMLOADOPTIONS options,
                                D3DRMLOADTEXTURECALLBACK callback, LPVOID callbackArg)
{
    (void)objectName;
    (void)callback;
    (void)callbackArg;
    boundMade = false;
    positions.clear();
    normals.clear();
    us.clear();
    vs.clear();
    faces.clear();
    if (!fileName)
        return D3DRMERR_BADVALUE;
    if (options != D3DRMLOAD_FROMFILE)
        return UNSUPPORTED(D3DRMERR_BADVALUE, "IDirect3DRMMeshBuilder::Load other than from a file");
    std::string path = NativePath(static_cast<const char*>(fileName));
    std::FILE* probe = std::fopen(path.c_str(), "rb");
    if (!probe)
        return D3DRMERR_FILENOTFOUND;
    std::fclose(probe);

    XModel model;
    std::string why;
    if (!ReadXFile(path, &model, &why)) {
        // Refused as if missing: the game runs with the object invisible.
        std::fprintf(stderr, "orbitdefense: model %s refused: %s\n", path.c_str(), why.c_str());
        return D3DRMERR_FILENOTFOUND;
    }
    positions = std::move(model.positions);
    us = std::move(model.us);
    vs = std::move(model.vs);
    faces = std::move(model.faces);
    normals = std::move(model.normals);
    if (normals.empty()) { // some mesh of the file came without normals
        normals.assign(positions.size(), MakeVec3(0, 0, 0));
        ComputeSmoothNormals(this);
    }
    return D3DRM_OK;
}

// Scaling moves the vertices; the normals keep their directions.
HRESULT MeshBuilderObject::Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz)
{
    if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(sz))
        return D3DRMERR_BADVALUE;
    for (Vec3& p : positions)
        p = MakeVec3(p.x * sx, p.y * sy, p.z * sz);
    boundMade = false;
    return D3DRM_OK;
}

HRESULT MeshBuilderObject::SetTexture(LPDIRECT3DRMTEXTURE newTexture)
{
    TextureObject* object = nullptr;
    if (newTexture && !(object = dynamic_cast<TextureObject*>(newTexture)))
        return D3DRMERR_BADOBJECT;
    if (object)
        object->AddRef();
    if (texture)
        texture->Release();
    texture = object;
    return D3DRM_OK;
}
