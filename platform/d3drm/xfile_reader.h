// DirectX .x model files in the text format, read into one list of vertices and triangles for a
// mesh builder (no library). Only what the models and the renderer need is read; anything the
// reader does not understand is refused whole, so a broken file can never half-load.
#pragma once

#include "d3drm_objects.h"

#include <string>
#include <string_view>
#include <vector>

// Limits that refuse a file before it can ask for more memory or stack than a model needs.
constexpr uint32_t X_MAX_VERTICES = 1u << 20;  // per mesh, and in the whole file
constexpr uint32_t X_MAX_FACES = 1u << 20;     // per mesh, and triangles in the whole file
constexpr uint32_t X_MAX_FACE_INDICES = 64;    // corners of one face
constexpr uint32_t X_MAX_MATERIALS = 4096;     // per material list
constexpr int X_MAX_DEPTH = 32;                // nested braces
constexpr size_t X_MAX_FILE_BYTES = 64u << 20; // the whole file

// Every mesh of a file, placed by its frames, as the renderer holds a mesh.
struct XModel {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals; // one per position, unit (or zero); empty when a mesh had none
    std::vector<float> us, vs; // one per position; zero where a mesh had none
    std::vector<MeshFace> faces;
};

// True with the model filled; false with `why` saying in a few words what is wrong with the file.
bool ReadXFile(const std::string& path, XModel* model, std::string* why);
// The same for a file already in memory.
bool ReadXText(std::string_view text, XModel* model, std::string* why);

// The reader's parts: a mesh object as written, before it is placed into the model.
struct XMaterial {
    std::string name;
    float colour[3] = {1, 1, 1}; // a mesh without a material list is white
    float emissive[3] = {0, 0, 0};
};

struct XMesh {
    std::vector<Vec3> positions;
    std::vector<uint32_t> corners;     // every face's vertex indices, one face after another
    std::vector<uint32_t> firstCorner; // face f's corners are [firstCorner[f], firstCorner[f + 1])
    std::vector<Vec3> normals;
    std::vector<uint32_t> normalCorners; // parallel to corners, when the mesh has normals
    std::vector<float> us, vs;           // one per vertex, when it has texture coordinates
    std::vector<uint32_t> faceMaterials; // one per face, or one for all
    std::vector<XMaterial> materials;
};

// Appends the mesh to the model; null when done, else why it cannot be.
const char* PlaceXMesh(const XMesh& mesh, XModel* model);
