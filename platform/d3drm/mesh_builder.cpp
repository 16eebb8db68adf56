// Mesh builders: DirectX .x models read through Assimp, merged into one list of faces.
#include "d3drm_objects.h"
#include "unsupported.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

namespace {

float UnitChannel(float v)
{
    if (!(v > 0.0f))
        return 0.0f;
    return v < 1.0f ? v : 1.0f;
}

// A face's colour from its material; without a material list the mesh is white. (For a mesh
// without one, the importer makes up a grey material with no name; the file's own always have one.)
void MaterialColour(const aiScene* scene, unsigned index, float rgb[3], float emissive[3])
{
    rgb[0] = rgb[1] = rgb[2] = 1.0f;
    emissive[0] = emissive[1] = emissive[2] = 0.0f;
    if (index >= scene->mNumMaterials)
        return;
    const aiMaterial* material = scene->mMaterials[index];
    aiString name;
    if (material->Get(AI_MATKEY_NAME, name) != AI_SUCCESS || name == aiString(AI_DEFAULT_MATERIAL_NAME))
        return;
    aiColor4D diffuse;
    if (material->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse) != AI_SUCCESS)
        return;
    rgb[0] = UnitChannel(diffuse.r);
    rgb[1] = UnitChannel(diffuse.g);
    rgb[2] = UnitChannel(diffuse.b);
    aiColor3D glow;
    if (material->Get(AI_MATKEY_COLOR_EMISSIVE, glow) == AI_SUCCESS) {
        emissive[0] = UnitChannel(glow.r);
        emissive[1] = UnitChannel(glow.g);
        emissive[2] = UnitChannel(glow.b);
    }
}

struct LoadState {
    const aiScene* scene;
    MeshBuilderObject* mesh;
    bool fileHasNormals = true;
};

// Appends every mesh under `node`, placed by the node transforms of the file.
bool AppendNode(LoadState& state, const aiNode* node, const aiMatrix4x4& parentTransform)
{
    aiMatrix4x4 transform = parentTransform * node->mTransformation;
    aiMatrix3x3 normalTransform = aiMatrix3x3(transform);
    normalTransform.Inverse().Transpose();
    MeshBuilderObject* mesh = state.mesh;
    for (unsigned m = 0; m < node->mNumMeshes; m++) {
        if (node->mMeshes[m] >= state.scene->mNumMeshes)
            return false;
        const aiMesh* source = state.scene->mMeshes[node->mMeshes[m]];
        uint32_t base = static_cast<uint32_t>(mesh->positions.size());
        if (!source->HasNormals())
            state.fileHasNormals = false;
        for (unsigned i = 0; i < source->mNumVertices; i++) {
            aiVector3D p = transform * source->mVertices[i];
            Vec3 position = MakeVec3(p.x, p.y, p.z);
            if (!IsFinite(position))
                return false;
            mesh->positions.push_back(position);
            Vec3 normal = MakeVec3(0, 0, 0);
            if (source->HasNormals()) {
                aiVector3D n = normalTransform * source->mNormals[i];
                if (!Normalise(MakeVec3(n.x, n.y, n.z), &normal))
                    normal = MakeVec3(0, 0, 0);
            }
            mesh->normals.push_back(normal);
            float u = 0, v = 0;
            if (source->HasTextureCoords(0)) {
                u = source->mTextureCoords[0][i].x;
                v = source->mTextureCoords[0][i].y;
                if (!std::isfinite(u) || !std::isfinite(v))
                    u = v = 0;
            }
            mesh->us.push_back(u);
            mesh->vs.push_back(v);
        }
        float rgb[3], emissive[3];
        MaterialColour(state.scene, source->mMaterialIndex, rgb, emissive);
        for (unsigned f = 0; f < source->mNumFaces; f++) {
            const aiFace& face = source->mFaces[f];
            if (face.mNumIndices != 3)
                continue; // points and lines have no surface
            MeshFace made;
            for (int k = 0; k < 3; k++) {
                if (face.mIndices[k] >= source->mNumVertices)
                    return false;
                made.v[k] = base + face.mIndices[k];
            }
            made.red = rgb[0];
            made.green = rgb[1];
            made.blue = rgb[2];
            made.emissiveRed = emissive[0];
            made.emissiveGreen = emissive[1];
            made.emissiveBlue = emissive[2];
            mesh->faces.push_back(made);
        }
    }
    for (unsigned c = 0; c < node->mNumChildren; c++)
        if (!AppendNode(state, node->mChildren[c], transform))
            return false;
    return true;
}

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

// A file that cannot be read leaves the builder empty.
HRESULT MeshBuilderObject::Load(LPVOID fileName, LPVOID objectName, D3DRMLOADOPTIONS options,
                                D3DRMLOADTEXTURECALLBACK callback, LPVOID callbackArg)
{
    (void)objectName;
    (void)callback;
    (void)callbackArg;
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

    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path,
                                             aiProcess_MakeLeftHanded | aiProcess_FlipWindingOrder |
                                                 aiProcess_JoinIdenticalVertices | aiProcess_Triangulate);
    if (!scene || !scene->mRootNode || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE))
        return D3DRMERR_BADFILE;
    LoadState state{scene, this};
    if (!AppendNode(state, scene->mRootNode, aiMatrix4x4()) || faces.empty()) {
        positions.clear();
        normals.clear();
        us.clear();
        vs.clear();
        faces.clear();
        return D3DRMERR_BADFILE;
    }
    if (!state.fileHasNormals)
        ComputeSmoothNormals(this);
    return D3DRM_OK;
}

// Scaling moves the vertices; the normals keep their directions.
HRESULT MeshBuilderObject::Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz)
{
    if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(sz))
        return D3DRMERR_BADVALUE;
    for (Vec3& p : positions)
        p = MakeVec3(p.x * sx, p.y * sy, p.z * sz);
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
