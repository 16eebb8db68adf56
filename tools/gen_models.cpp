// The DirectX .x models: satellite, missile, shot, earth, UFO, meteor and the sky sphere.
// Sizes are in file units; the game scales the shot (3, 3, 10), the earth 100, the UFO 1.5
// and the sky 50 when it loads them.
#include "datagen.h"

#include "mesh_writer.h"
#include "noise.h"

#include <cmath>

namespace {

constexpr float PI = 3.14159265f;
// Scaled by 100 in the game, the globe spans about half the screen's height from 136 units off
// and its limb stays clear of the satellite's wings.
constexpr float EARTH_RADIUS = 0.27f;

Material Colour(float r, float g, float b, float power = 0, float shine = 0)
{
    Material m;
    m.r = r;
    m.g = g;
    m.b = b;
    m.power = power;
    m.specular = {shine, shine, shine};
    return m;
}

Material Glowing(float r, float g, float b)
{
    Material m = Colour(r, g, b);
    m.emissive = {r, g, b};
    return m;
}

int AddMaterial(Mesh& mesh, const Material& m)
{
    mesh.materials.push_back(m);
    return static_cast<int>(mesh.materials.size()) - 1;
}

// A closed cylinder about local y from h0 to h1.
Part Cylinder(float r, float h0, float h1, int segments)
{
    return Lathe({{0, h0}, {r, h0, true}, {r, h1, true}, {0, h1}}, segments);
}

// A solar wing from x = x0 to x1 (sign gives the side): a silver frame with blue cells that
// stand slightly proud of it, so the frame shows between them.
void AddSolarWing(Mesh& mesh, float x0, float x1, int frame, int cellMat)
{
    const float length = std::fabs(x1 - x0), dir = x1 > x0 ? 1.0f : -1.0f;
    const float width = 1.25f;
    AddPart(mesh, Box({length, 0.04f, width}, {x0 + dir * length / 2, 0, 0}), frame);
    const int cells = 4;
    const float gap = 0.05f, cellLen = (length - gap * (cells + 1)) / cells;
    for (int i = 0; i < cells; ++i) {
        const float c = x0 + dir * (gap + cellLen / 2 + i * (cellLen + gap));
        AddPart(mesh, Box({cellLen, 0.06f, width - 2 * gap}, {c, 0, 0}), cellMat);
    }
}

Mesh BuildSatellite()
{
    Mesh mesh;
    const int gold = AddMaterial(mesh, Colour(0.86f, 0.66f, 0.18f, 12, 0.6f));
    const int grey = AddMaterial(mesh, Colour(0.62f, 0.63f, 0.66f, 8, 0.3f));
    const int blue = AddMaterial(mesh, Colour(0.14f, 0.26f, 0.78f, 20, 0.5f));
    const int white = AddMaterial(mesh, Colour(0.92f, 0.92f, 0.9f, 6, 0.3f));
    const int dark = AddMaterial(mesh, Colour(0.25f, 0.25f, 0.28f));

    // Body: a gold-foil box with grey end plates. Everything on the +z side stays within one
    // unit of the centre: before the first round the camera sits at the satellite's centre
    // looking along +z, and the front plane at 1 must leave the title screen clear.
    AddPart(mesh, Box({1.6f, 1.6f, 1.8f}, {0, 0, 0}), gold);
    AddPart(mesh, Box({1.7f, 1.7f, 0.12f}, {0, 0, 0.9f}), grey);
    AddPart(mesh, Box({1.7f, 1.7f, 0.12f}, {0, 0, -0.9f}), grey);

    // Booms out along x and the two solar wings, short enough that the earth's limb, a little
    // way off the satellite on screen, never reaches a wing tip.
    const Xform alongX = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}, {}};
    AddPart(mesh, Transformed(Cylinder(0.06f, -1.35f, 1.35f, 8), alongX), grey);
    AddSolarWing(mesh, 1.3f, 3.45f, grey, blue);
    AddSolarWing(mesh, -1.3f, -3.45f, grey, blue);

    // The dish looks out along -z: a thin paraboloid shell on a short mast, its feed on the axis.
    const float R = 0.85f, depth = 0.28f, thick = 0.04f, base = 1.2f;
    std::vector<ProfilePoint> shell;
    for (int i = 0; i <= 6; ++i) {
        const float r = R * i / 6.0f;
        shell.push_back({r, base + depth * (r / R) * (r / R), i == 6});
    }
    for (int i = 6; i >= 0; --i) {
        const float r = R * i / 6.0f;
        shell.push_back({r, base + thick + depth * (r / R) * (r / R), i == 6});
    }
    Xform toMinusZ = YToZ();
    toMinusZ.y = {0, 0, -1};
    AddPart(mesh, Transformed(Lathe(shell, 20), toMinusZ), white);
    AddPart(mesh, Transformed(Cylinder(0.12f, 0.9f, base + 0.02f, 10), toMinusZ), grey);
    AddPart(mesh, Transformed(Cylinder(0.03f, base, base + 0.62f, 6), toMinusZ), dark);
    AddPart(mesh, Transformed(Sphere(0.07f, 8, 6), Translate({0, 0, -(base + 0.64f)})), dark);

    // A whip antenna standing up from the body.
    AddPart(mesh, Cylinder(0.025f, 0.7f, 1.6f, 6), dark);
    AddPart(mesh, Transformed(Sphere(0.05f, 6, 4), Translate({0, 1.62f, 0})), dark);
    return mesh;
}

Mesh BuildMissile()
{
    Mesh mesh;
    const int white = AddMaterial(mesh, Colour(0.9f, 0.9f, 0.88f, 10, 0.4f));
    const int red = AddMaterial(mesh, Colour(0.85f, 0.12f, 0.08f, 10, 0.4f));
    const int dark = AddMaterial(mesh, Colour(0.22f, 0.22f, 0.24f));
    const int flame = AddMaterial(mesh, Glowing(1.0f, 0.6f, 0.15f));
    const Xform toZ = YToZ();
    const int seg = 14;
    // Stout for its length: missiles come nose-on from the earth, where only their girth and
    // fins show.
    const float r = 0.3f;

    AddPart(mesh, Transformed(Cylinder(r, -1.5f, 1.0f, seg), toZ), white);
    AddPart(mesh, Transformed(Cylinder(r * 1.05f, 0.35f, 0.5f, seg), toZ), red);
    AddPart(mesh,
            Transformed(Lathe({{0, 1.0f},
                               {r, 1.0f, true},
                               {r * 0.98f, 1.2f},
                               {r * 0.84f, 1.42f},
                               {r * 0.6f, 1.62f},
                               {r * 0.28f, 1.8f},
                               {0, 1.9f}},
                              seg),
                        toZ),
            red);
    AddPart(mesh,
            Transformed(Lathe({{0, -1.8f}, {r * 0.84f, -1.8f, true}, {r * 0.6f, -1.5f, true}, {0, -1.5f}}, seg), toZ),
            dark);
    AddPart(mesh, Transformed(Lathe({{0, -2.05f}, {r * 0.5f, -1.82f}, {0, -1.8f}}, 8), toZ), flame);

    // Four swept fins at the tail, in the planes through the axis.
    const std::vector<Vec3> fin = {{r - 0.05f, -1.5f, 0}, {0.88f, -1.6f, 0}, {0.88f, -1.3f, 0}, {r - 0.05f, -0.8f, 0}};
    for (int k = 0; k < 4; ++k) {
        const Xform place = Then(toZ, RotateZ(PI / 4 + k * PI / 2));
        AddPart(mesh, Transformed(Prism(fin, 0.07f), place), red);
    }
    return mesh;
}

Mesh BuildShot()
{
    Mesh mesh;
    Material bolt = Glowing(1.0f, 0.95f, 0.55f);
    const int m = AddMaterial(mesh, bolt);
    // From its back end at the origin forwards along +z.
    AddPart(mesh, Transformed(Lathe({{0, 0}, {0.05f, 0.06f}, {0.05f, 0.32f}, {0, 0.4f}}, 8), YToZ()), m);
    return mesh;
}

Mesh BuildUfo()
{
    Mesh mesh;
    const int hull = AddMaterial(mesh, Colour(0.72f, 0.74f, 0.8f, 24, 0.8f));
    const int band = AddMaterial(mesh, Colour(0.35f, 0.36f, 0.42f, 8, 0.3f));
    const int dome = AddMaterial(mesh, Colour(0.45f, 0.85f, 1.0f, 40, 1.0f));
    const int lamp = AddMaterial(mesh, Glowing(1.0f, 0.85f, 0.25f));
    const int beam = AddMaterial(mesh, Glowing(0.4f, 1.0f, 0.55f));

    AddPart(mesh,
            Lathe({{0, -0.2f},
                   {0.3f, -0.19f},
                   {0.6f, -0.13f},
                   {0.88f, -0.05f, true},
                   {1.0f, 0, true},
                   {0.88f, 0.06f, true},
                   {0.6f, 0.13f},
                   {0.3f, 0.17f},
                   {0, 0.18f}},
                  28),
            hull);
    AddPart(mesh, Cylinder(0.9f, -0.06f, -0.02f, 28), band);
    std::vector<ProfilePoint> cap = {{0, 0.12f}};
    for (int i = 0; i <= 6; ++i) {
        const float a = PI / 2 * i / 6.0f;
        cap.push_back({0.42f * std::cos(a), 0.14f + 0.36f * std::sin(a), i == 0});
    }
    cap.back().r = 0;
    AddPart(mesh, Lathe(cap, 20), dome);
    for (int k = 0; k < 10; ++k) {
        const float a = 2 * PI * k / 10;
        AddPart(mesh, Transformed(Sphere(0.06f, 6, 4), Translate({0.8f * std::cos(a), 0.07f, 0.8f * std::sin(a)})),
                lamp);
    }
    AddPart(mesh, Lathe({{0, -0.26f}, {0.22f, -0.26f, true}, {0.26f, -0.18f, true}, {0, -0.18f}}, 16), beam);
    return mesh;
}

Mesh BuildMeteor()
{
    Mesh mesh;
    AddMaterial(mesh, Colour(0.66f, 0.57f, 0.47f, 4, 0.1f));
    AddMaterial(mesh, Colour(0.4f, 0.34f, 0.29f));
    Part rock = Sphere(0.9f, 20, 14);
    // Lumps: push each point in or out by noise over its direction.
    for (Vec3& p : rock.points) {
        const Vec3 d = Normalised(p);
        const float n = Fbm3(d.x * 1.6f + 5, d.y * 1.6f + 5, d.z * 1.6f + 5, 3, 0x3E7E0u);
        const float k = 0.62f + 0.95f * n;
        p = Vec3{p.x * k * 1.1f, p.y * k * 0.9f, p.z * k};
    }
    // Darker craters where a second noise runs low.
    for (Triangle& t : rock.triangles) {
        const Vec3 c = (rock.points[t.v[0]] + rock.points[t.v[1]] + rock.points[t.v[2]]) * 0.33f;
        const Vec3 d = Normalised(c);
        t.material = Fbm3(d.x * 3 + 1, d.y * 3 + 1, d.z * 3 + 1, 2, 0xC4A7u) < 0.42f ? 1 : 0;
    }
    AddPartMaterials(mesh, rock, 0);
    return mesh;
}

Mesh BuildPlainSphere(float radius, int segments, int rings, bool inward)
{
    Mesh mesh;
    AddMaterial(mesh, Colour(1, 1, 1)); // the texture gives the colour
    AddPart(mesh, Sphere(radius, segments, rings), 0, inward);
    return mesh;
}

} // namespace

bool WriteModels(const std::string& folder)
{
    bool ok = true;
    ok = WriteXFile(folder + "/SATELLITE.x", BuildSatellite(), "Satellite") && ok;
    ok = WriteXFile(folder + "/ICBM.x", BuildMissile(), "Missile") && ok;
    ok = WriteXFile(folder + "/CANON.x", BuildShot(), "Shot") && ok;
    ok = WriteXFile(folder + "/earth.x", BuildPlainSphere(EARTH_RADIUS, 32, 24, false), "Earth") && ok;
    ok = WriteXFile(folder + "/UFO.x", BuildUfo(), "Ufo") && ok;
    ok = WriteXFile(folder + "/meteo.x", BuildMeteor(), "Meteor") && ok;
    ok = WriteXFile(folder + "/tenkyu.x", BuildPlainSphere(4.0f, 32, 24, true), "Sky") && ok;
    return ok;
}
