// Placing a mesh read from a .x file into the model as written (no library): its own vertices and
// faces, polygons fanned into triangles, faces coloured by their materials.
#include "xfile_reader.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace {

constexpr uint32_t NO_NORMAL = UINT32_MAX;

// A quad is fanned from its one concave corner, if it has one, so the fan stays inside it.
int QuadStart(const Vec3 p[4])
{
    for (int i = 0; i < 4; i++) {
        Vec3 left, diagonal, right;
        if (!Normalise(p[(i + 3) % 4] - p[i], &left) || !Normalise(p[(i + 2) % 4] - p[i], &diagonal) ||
            !Normalise(p[(i + 1) % 4] - p[i], &right))
            continue;
        const float angle = std::acos(std::clamp(Dot(left, diagonal), -1.0f, 1.0f)) +
            std::acos(std::clamp(Dot(right, diagonal), -1.0f, 1.0f));
        if (angle > 3.14159265f)
            return i;
    }
    return 0;
}

} // namespace

// Appends a mesh to the model as written: its own vertices and faces, polygons fanned into
// triangles. Only a vertex that the faces give different normals is copied, once per normal.
const char* PlaceXMesh(const XMesh& mesh, XModel* model)
{
    const uint32_t count = static_cast<uint32_t>(mesh.positions.size());
    std::vector<uint32_t> vertexOf(mesh.corners);
    std::vector<uint32_t> normalOf(count, NO_NORMAL);
    std::vector<uint32_t> copyOf, copyNormal; // the source vertex and normal of each copy
    if (!mesh.normalCorners.empty()) {
        std::map<std::pair<uint32_t, uint32_t>, uint32_t> copies;
        for (size_t c = 0; c < mesh.corners.size(); c++) {
            const uint32_t v = mesh.corners[c], n = mesh.normalCorners[c];
            const Vec3 a = mesh.normals[n];
            if (normalOf[v] == NO_NORMAL)
                normalOf[v] = n;
            const Vec3 b = mesh.normals[normalOf[v]];
            if (a.x == b.x && a.y == b.y && a.z == b.z)
                continue;
            auto made = copies.emplace(std::make_pair(v, n), count + static_cast<uint32_t>(copyOf.size()));
            if (made.second) {
                copyOf.push_back(v);
                copyNormal.push_back(n);
            }
            vertexOf[c] = made.first->second;
        }
    }
    const size_t base = model->positions.size();
    if (base + count + copyOf.size() > X_MAX_VERTICES)
        return "more vertices than a model may have";
    const bool hasUv = !mesh.us.empty();
    auto add = [&](uint32_t v, uint32_t n) {
        model->positions.push_back(mesh.positions[v]);
        model->normals.push_back(n == NO_NORMAL ? Vec3{} : mesh.normals[n]);
        model->us.push_back(hasUv ? mesh.us[v] : 0.0f);
        // Texture rows are read from the top of the picture down, as they have always been
        // handed to the renderer.
        model->vs.push_back(hasUv ? 1.0f - mesh.vs[v] : 0.0f);
    };
    for (uint32_t v = 0; v < count; v++)
        add(v, normalOf[v]);
    for (size_t k = 0; k < copyOf.size(); k++)
        add(copyOf[k], copyNormal[k]);

    for (size_t f = 0; f + 1 < mesh.firstCorner.size(); f++) {
        const uint32_t first = mesh.firstCorner[f], n = mesh.firstCorner[f + 1] - first;
        if (n < 3)
            continue; // points and lines have no surface
        if (model->faces.size() + (n - 2) > X_MAX_FACES)
            return "more faces than a model may have";
        MeshFace face{};
        const XMaterial white;
        const XMaterial* material = &white;
        if (!mesh.faceMaterials.empty())
            material = &mesh.materials[mesh.faceMaterials[mesh.faceMaterials.size() == 1 ? 0 : f]];
        face.r = material->colour[0];
        face.g = material->colour[1];
        face.b = material->colour[2];
        face.emissiveR = material->emissive[0];
        face.emissiveG = material->emissive[1];
        face.emissiveB = material->emissive[2];
        uint32_t start = 0;
        if (n == 4) {
            const Vec3 quad[4] = {mesh.positions[mesh.corners[first]], mesh.positions[mesh.corners[first + 1]],
                                  mesh.positions[mesh.corners[first + 2]], mesh.positions[mesh.corners[first + 3]]};
            start = static_cast<uint32_t>(QuadStart(quad));
        }
        auto corner = [&](uint32_t k) { return static_cast<uint32_t>(base + vertexOf[first + (start + k) % n]); };
        for (uint32_t k = 1; k + 1 < n; k++) {
            face.v[0] = corner(0);
            face.v[1] = corner(k);
            face.v[2] = corner(k + 1);
            model->faces.push_back(face);
        }
    }
    return nullptr;
}
