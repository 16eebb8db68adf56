// Meshes built from simple closed parts and written as DirectX .x text files.
//
// Coordinates are left-handed (+z away from the viewer). A front face winds clockwise seen
// from outside, which makes (b - a) x (c - a) of its corners point outwards.
#pragma once

#include <string>
#include <vector>

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float s);
Vec3 Cross(Vec3 a, Vec3 b);
float Dot(Vec3 a, Vec3 b);
Vec3 Normalised(Vec3 a);

struct Material {
    float r = 1, g = 1, b = 1, a = 1; // face colour
    float power = 0;                  // specular exponent
    Vec3 specular{};
    Vec3 emissive{};
};

struct Triangle {
    int v[3];
    int material; // index into the part's (then the mesh's) materials
};

// One closed piece of a model: its triangles are turned outwards when it joins a mesh.
// Points shared between triangles get smooth normals; duplicate points make a crease.
struct Part {
    std::vector<Vec3> points;
    std::vector<Triangle> triangles;
};

// A placement: p' = offset + p.x * x + p.y * y + p.z * z.
struct Xform {
    Vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
    Vec3 offset{};
};
Xform Translate(Vec3 offset);
Xform RotateZ(float radians);
// Lathes and prisms are built about local y; this turns local y onto +z (local z onto -y).
Xform YToZ();
Xform Then(const Xform& first, const Xform& second); // first, then second
Part Transformed(const Part& part, const Xform& t);

// A profile point of a lathe: radius from the axis and height along it. A crease point
// starts a fresh ring so the surface breaks sharply there.
struct ProfilePoint {
    float r, h;
    bool crease = false;
};
// Turns the profile about local y. The first and last points must lie on the axis (r = 0),
// which closes the part.
Part Lathe(const std::vector<ProfilePoint>& profile, int segments);
Part Sphere(float radius, int segments, int rings);
Part Box(Vec3 size, Vec3 centre);
// A convex polygon in the local x-y plane, extruded from z = -depth/2 to depth/2.
Part Prism(const std::vector<Vec3>& polygon, float depth);

// A whole model: one vertex list with one normal per vertex.
struct Mesh {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<Triangle> triangles;
    std::vector<Material> materials;
    int faultyParts = 0; // parts that were not closed surfaces
};

// True when the part's triangles close up into a consistently wound surface.
bool IsClosed(const Part& part);

// Adds a closed part in one material (its triangles' own indices are ignored), facing out,
// or in when `inward` is set (a sky seen from inside).
void AddPart(Mesh& mesh, const Part& part, int material, bool inward = false);
// Adds a part whose triangles carry their own materials, offset by `firstMaterial`.
void AddPartMaterials(Mesh& mesh, const Part& part, int firstMaterial, bool inward = false);

// Fails, writing nothing, for a mesh with faulty parts.
bool WriteXFile(const std::string& path, const Mesh& mesh, const char* name);
