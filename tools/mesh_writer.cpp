// Mesh parts (lathes, boxes, prisms), their outward winding and normals, and the .x writer.
#include "mesh_writer.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

Vec3 operator+(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(Vec3 a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}
Vec3 Cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 Normalised(Vec3 a)
{
    const float len = std::sqrt(Dot(a, a));
    return len > 0 ? a * (1.0f / len) : Vec3{0, 1, 0};
}

Xform Translate(Vec3 offset)
{
    Xform t;
    t.offset = offset;
    return t;
}

Xform RotateZ(float radians)
{
    const float c = std::cos(radians), s = std::sin(radians);
    Xform t;
    t.x = {c, s, 0};
    t.y = {-s, c, 0};
    return t;
}

Xform YToZ()
{
    Xform t;
    t.y = {0, 0, 1};
    t.z = {0, -1, 0};
    return t;
}

static Vec3 Apply(const Xform& t, Vec3 p)
{
    return t.offset + t.x * p.x + t.y * p.y + t.z * p.z;
}

Xform Then(const Xform& first, const Xform& second)
{
    Xform t;
    const Vec3 origin = Apply(second, Vec3{});
    t.x = Apply(second, first.x) - origin;
    t.y = Apply(second, first.y) - origin;
    t.z = Apply(second, first.z) - origin;
    t.offset = Apply(second, first.offset);
    return t;
}

Part Transformed(const Part& part, const Xform& t)
{
    Part out = part;
    for (Vec3& p : out.points)
        p = Apply(t, p);
    return out;
}

Part Lathe(const std::vector<ProfilePoint>& profile, int segments)
{
    Part part;
    // Each profile point gives one ring (a single point on the axis); a crease gives two, the
    // first ending the band below and the second starting the band above.
    std::vector<int> ringEnd, ringStart; // first index of the ring used by each side
    const float turn = 6.2831853f / static_cast<float>(segments);
    auto addRing = [&](const ProfilePoint& p) {
        const int first = static_cast<int>(part.points.size());
        if (p.r <= 0.0f) {
            part.points.push_back({0, p.h, 0});
        } else {
            for (int s = 0; s < segments; ++s)
                part.points.push_back({p.r * std::cos(turn * s), p.h, p.r * std::sin(turn * s)});
        }
        return first;
    };
    for (size_t i = 0; i < profile.size(); ++i) {
        const int a = addRing(profile[i]);
        const bool split = profile[i].crease && i > 0 && i + 1 < profile.size();
        ringEnd.push_back(a);
        ringStart.push_back(split ? addRing(profile[i]) : a);
    }
    auto at = [&](int ring, size_t i, int s) { return profile[i].r <= 0.0f ? ring : ring + (s % segments); };
    for (size_t i = 0; i + 1 < profile.size(); ++i) {
        const int lo = ringStart[i], hi = ringEnd[i + 1];
        for (int s = 0; s < segments; ++s) {
            const int a = at(lo, i, s), b = at(lo, i, s + 1);
            const int c = at(hi, i + 1, s + 1), d = at(hi, i + 1, s);
            if (a != b)
                part.triangles.push_back({{a, b, c}, 0});
            if (c != d)
                part.triangles.push_back({{a, c, d}, 0});
        }
    }
    return part;
}

Part Sphere(float radius, int segments, int rings)
{
    std::vector<ProfilePoint> profile;
    for (int i = 0; i <= rings; ++i) {
        const float a = 3.14159265f * static_cast<float>(i) / static_cast<float>(rings);
        const float r = i == 0 || i == rings ? 0.0f : radius * std::sin(a);
        profile.push_back({r, -radius * std::cos(a)});
    }
    return Lathe(profile, segments);
}

Part Box(Vec3 size, Vec3 centre)
{
    Part part;
    const Vec3 h = size * 0.5f;
    // Four corners per side so every side is flat-shaded.
    const Vec3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const float half[3] = {h.x, h.y, h.z};
    for (int k = 0; k < 3; ++k) {
        const Vec3 u = axes[(k + 1) % 3] * half[(k + 1) % 3];
        const Vec3 v = axes[(k + 2) % 3] * half[(k + 2) % 3];
        for (float sign : {-1.0f, 1.0f}) {
            const Vec3 c = centre + axes[k] * (half[k] * sign);
            const int first = static_cast<int>(part.points.size());
            part.points.push_back(c - u - v);
            part.points.push_back(c + u - v);
            part.points.push_back(c + u + v);
            part.points.push_back(c - u + v);
            // The far side winds the other way round, so both face out.
            if (sign > 0) {
                part.triangles.push_back({{first, first + 1, first + 2}, 0});
                part.triangles.push_back({{first, first + 2, first + 3}, 0});
            } else {
                part.triangles.push_back({{first, first + 2, first + 1}, 0});
                part.triangles.push_back({{first, first + 3, first + 2}, 0});
            }
        }
    }
    return part;
}

Part Prism(const std::vector<Vec3>& polygon, float depth)
{
    Part part;
    const int n = static_cast<int>(polygon.size());
    const float z[2] = {-depth * 0.5f, depth * 0.5f};
    for (int cap = 0; cap < 2; ++cap) { // the two caps, fanned, wound against each other
        const int first = static_cast<int>(part.points.size());
        for (const Vec3& p : polygon)
            part.points.push_back({p.x, p.y, z[cap]});
        for (int i = 1; i + 1 < n; ++i) {
            if (cap == 0)
                part.triangles.push_back({{first, first + i + 1, first + i}, 0});
            else
                part.triangles.push_back({{first, first + i, first + i + 1}, 0});
        }
    }
    for (int i = 0; i < n; ++i) { // the sides, each with its own corners
        const Vec3 a = polygon[i], b = polygon[(i + 1) % n];
        const int first = static_cast<int>(part.points.size());
        part.points.push_back({a.x, a.y, z[0]});
        part.points.push_back({b.x, b.y, z[0]});
        part.points.push_back({b.x, b.y, z[1]});
        part.points.push_back({a.x, a.y, z[1]});
        part.triangles.push_back({{first, first + 1, first + 2}, 0});
        part.triangles.push_back({{first, first + 2, first + 3}, 0});
    }
    return part;
}

// Six times the enclosed volume, positive when every triangle faces outwards.
static double SignedVolume(const Part& part)
{
    double v = 0;
    for (const Triangle& t : part.triangles) {
        const Vec3 a = part.points[t.v[0]], b = part.points[t.v[1]], c = part.points[t.v[2]];
        v += Dot(a, Cross(b - a, c - a));
    }
    return v;
}

bool IsClosed(const Part& part)
{
    // Every edge, matched by its end points, must be walked once each way.
    std::map<std::pair<std::array<float, 3>, std::array<float, 3>>, int> edges;
    auto key = [](Vec3 p) { return std::array<float, 3>{p.x, p.y, p.z}; };
    for (const Triangle& t : part.triangles) {
        for (int k = 0; k < 3; ++k) {
            const auto a = key(part.points[t.v[k]]), b = key(part.points[t.v[(k + 1) % 3]]);
            ++edges[{a, b}];
            --edges[{b, a}];
        }
    }
    for (const auto& e : edges)
        if (e.second != 0)
            return false;
    return !part.triangles.empty();
}

void AddPartMaterials(Mesh& mesh, const Part& part, int firstMaterial, bool inward)
{
    if (!IsClosed(part)) {
        std::fprintf(stderr, "datagen: a mesh part is not closed\n");
        ++mesh.faultyParts;
    }
    // A part comes out of its builder wound one way or the other; turn it to face out (or in).
    const bool flip = (SignedVolume(part) < 0) != inward;
    const int base = static_cast<int>(mesh.positions.size());
    std::vector<Vec3> normals(part.points.size());
    for (Triangle t : part.triangles) {
        if (flip)
            std::swap(t.v[1], t.v[2]);
        const Vec3 a = part.points[t.v[0]], b = part.points[t.v[1]], c = part.points[t.v[2]];
        const Vec3 n = Cross(b - a, c - a); // area-weighted
        for (int k = 0; k < 3; ++k)
            normals[t.v[k]] = normals[t.v[k]] + n;
        mesh.triangles.push_back({{base + t.v[0], base + t.v[1], base + t.v[2]}, firstMaterial + t.material});
    }
    for (size_t i = 0; i < part.points.size(); ++i) {
        mesh.positions.push_back(part.points[i]);
        mesh.normals.push_back(Normalised(normals[i]));
    }
}

void AddPart(Mesh& mesh, const Part& part, int material, bool inward)
{
    Part single = part;
    for (Triangle& t : single.triangles)
        t.material = 0;
    AddPartMaterials(mesh, single, material, inward);
}

bool WriteXFile(const std::string& path, const Mesh& mesh, const char* name)
{
    if (mesh.faultyParts > 0) {
        std::fprintf(stderr, "datagen: %s has open or inconsistent parts\n", path.c_str());
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) {
        std::fprintf(stderr, "datagen: cannot write %s\n", path.c_str());
        return false;
    }
    const size_t nv = mesh.positions.size(), nt = mesh.triangles.size();
    auto listEnd = [](size_t i, size_t n) { return i + 1 < n ? ",\n" : ";\n"; };
    std::fprintf(f, "xof 0302txt 0032\n\nMesh %s {\n %zu;\n", name, nv);
    for (size_t i = 0; i < nv; ++i) {
        const Vec3 p = mesh.positions[i];
        std::fprintf(f, " %.6f;%.6f;%.6f;%s", p.x, p.y, p.z, listEnd(i, nv));
    }
    std::fprintf(f, " %zu;\n", nt);
    for (size_t i = 0; i < nt; ++i) {
        const Triangle& t = mesh.triangles[i];
        std::fprintf(f, " 3;%d,%d,%d;%s", t.v[0], t.v[1], t.v[2], listEnd(i, nt));
    }

    std::fprintf(f, "\n MeshMaterialList {\n  %zu;\n  %zu;\n", mesh.materials.size(), nt);
    for (size_t i = 0; i < nt; ++i)
        std::fprintf(f, "  %d%s", mesh.triangles[i].material, listEnd(i, nt));
    for (const Material& m : mesh.materials) {
        std::fprintf(f, "  Material {\n   %.6f;%.6f;%.6f;%.6f;;\n   %.6f;\n", m.r, m.g, m.b, m.a, m.power);
        std::fprintf(f, "   %.6f;%.6f;%.6f;;\n", m.specular.x, m.specular.y, m.specular.z);
        std::fprintf(f, "   %.6f;%.6f;%.6f;;\n  }\n", m.emissive.x, m.emissive.y, m.emissive.z);
    }
    std::fprintf(f, " }\n\n MeshNormals {\n  %zu;\n", nv);
    for (size_t i = 0; i < nv; ++i) {
        const Vec3 n = mesh.normals[i];
        std::fprintf(f, "  %.6f;%.6f;%.6f;%s", n.x, n.y, n.z, listEnd(i, nv));
    }
    std::fprintf(f, "  %zu;\n", nt);
    for (size_t i = 0; i < nt; ++i) {
        const Triangle& t = mesh.triangles[i];
        std::fprintf(f, "  3;%d,%d,%d;%s", t.v[0], t.v[1], t.v[2], listEnd(i, nt));
    }
    std::fprintf(f, " }\n}\n");
    return std::fclose(f) == 0;
}
