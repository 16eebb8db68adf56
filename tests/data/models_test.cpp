// The .x models, read back the way the renderer reads them (our reader, in the file's own
// left-handed coordinates and winding).
#include "xfile_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>

namespace {

Vec3 operator/(Vec3 a, float s)
{
    return a * (1.0f / s);
}
float operator*(Vec3 a, Vec3 b)
{
    return Dot(a, b);
}

struct Triangle {
    Vec3 a, b, c;
    Vec3 normals[3]; // the file's normals at the corners
    Vec3 Winding() const { return Cross(b - a, c - a); }
    Vec3 Centre() const { return (a + b + c) / 3.0f; }
};

struct Model {
    std::vector<Triangle> triangles;
    unsigned materials = 0; // distinct face colours
    bool allHaveNormals = true;
    Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    Vec3 Size() const { return hi - lo; }
};

bool ReadModel(const char* file, Model& out)
{
    XModel model;
    std::string why;
    if (!ReadXFile(file, &model, &why))
        return false;
    out.allHaveNormals = !model.normals.empty();
    for (const Vec3& p : model.positions) {
        out.lo = {std::min(out.lo.x, p.x), std::min(out.lo.y, p.y), std::min(out.lo.z, p.z)};
        out.hi = {std::max(out.hi.x, p.x), std::max(out.hi.y, p.y), std::max(out.hi.z, p.z)};
    }
    std::map<std::array<float, 3>, int> colours;
    for (const MeshFace& face : model.faces) {
        Triangle t{model.positions[face.v[0]], model.positions[face.v[1]], model.positions[face.v[2]], {}};
        if (out.allHaveNormals)
            for (int k = 0; k < 3; ++k)
                t.normals[k] = model.normals[face.v[k]];
        out.triangles.push_back(t);
        colours[{face.r, face.g, face.b}]++;
    }
    out.materials = static_cast<unsigned>(colours.size());
    return true;
}

// Every edge is walked once each way (a closed, consistently wound surface), and the
// enclosed volume is positive (the faces look outwards).
void ExpectClosedAndFacingOut(const Model& m, const char* file)
{
    std::map<std::array<float, 6>, int> edges;
    double volume = 0;
    for (const Triangle& t : m.triangles) {
        const Vec3 p[3] = {t.a, t.b, t.c};
        for (int k = 0; k < 3; ++k) {
            const Vec3 u = p[k], v = p[(k + 1) % 3];
            ++edges[{u.x, u.y, u.z, v.x, v.y, v.z}];
            --edges[{v.x, v.y, v.z, u.x, u.y, u.z}];
        }
        volume += t.a * t.Winding();
    }
    int open = 0;
    for (const auto& e : edges)
        open += e.second != 0;
    EXPECT_EQ(open, 0) << file;
    EXPECT_GT(volume, 0.0) << file;
}

const char* const MODELS[] = {"SATELLITE.x", "ICBM.x", "CANON.x", "earth.x", "UFO.x", "meteo.x", "tenkyu.x"};

} // namespace

TEST(DataModels, EveryModelReadsWithMaterialsAndNormalsThatMatchItsWinding)
{
    for (const char* file : MODELS) {
        Model m;
        ASSERT_TRUE(ReadModel(file, m)) << file;
        EXPECT_GE(m.materials, 1u) << file;
        EXPECT_TRUE(m.allHaveNormals) << file;
        int disagree = 0;
        for (const Triangle& t : m.triangles)
            for (const Vec3& n : t.normals)
                disagree += t.Winding() * n <= 0.0f;
        EXPECT_EQ(disagree, 0) << file;
    }
}

TEST(DataModels, SolidModelsAreClosedAndFaceOutwards)
{
    for (const char* file : {"SATELLITE.x", "ICBM.x", "CANON.x", "earth.x", "UFO.x", "meteo.x"}) {
        Model m;
        ASSERT_TRUE(ReadModel(file, m)) << file;
        ExpectClosedAndFacingOut(m, file);
    }
}

TEST(DataModels, SizesSuitTheGameDistances)
{
    Model satellite, missile, shot, ufo, meteor, earth;
    ASSERT_TRUE(ReadModel("SATELLITE.x", satellite));
    ASSERT_TRUE(ReadModel("ICBM.x", missile));
    ASSERT_TRUE(ReadModel("CANON.x", shot));
    ASSERT_TRUE(ReadModel("UFO.x", ufo));
    ASSERT_TRUE(ReadModel("meteo.x", meteor));
    ASSERT_TRUE(ReadModel("earth.x", earth));

    const float span = std::max({satellite.Size().x, satellite.Size().y, satellite.Size().z});
    EXPECT_GE(span, 6.0f);
    EXPECT_LE(span, 8.0f);
    // Before the first round the camera sits at the satellite's centre looking along its +z;
    // nothing may reach past the front plane at 1 there, or it hides the title.
    EXPECT_LT(satellite.hi.z, 1.0f);

    // The missile is 3 to 4 units long along z and its nose is the narrow +z end.
    EXPECT_GE(missile.Size().z, 3.0f);
    EXPECT_LE(missile.Size().z, 4.0f);
    EXPECT_LT(missile.Size().x, 2.0f);
    for (const Triangle& t : missile.triangles) {
        for (const Vec3& p : {t.a, t.b, t.c}) {
            if (p.z > missile.hi.z - 0.2f) {
                EXPECT_LT(std::hypot(p.x, p.y), 0.15f);
            }
        }
    }

    // The shot is a thin bolt along z starting at its origin.
    EXPECT_GT(shot.Size().z, 3 * shot.Size().x);
    EXPECT_NEAR(shot.lo.z, 0.0f, 0.01f);

    EXPECT_NEAR(ufo.Size().x, 2.0f, 0.3f);
    EXPECT_LT(ufo.Size().y, ufo.Size().x / 2); // a flat saucer
    for (float s : {meteor.Size().x, meteor.Size().y, meteor.Size().z}) {
        EXPECT_GE(s, 1.5f);
        EXPECT_LE(s, 2.5f);
    }
    EXPECT_GE(earth.hi.x, 0.25f);
    EXPECT_LE(earth.hi.x, 0.35f);
}

TEST(DataModels, SkyFacesInwardsAndHoldsTheCameraInsideTheFarPlane)
{
    Model sky;
    ASSERT_TRUE(ReadModel("tenkyu.x", sky));
    const float scale = 50.0f;
    const Vec3 place{90.0f, -6.0f, 13.0f};
    float nearest = 1e9f, farthest = 0.0f;
    int outward = 0;
    for (const Triangle& t : sky.triangles) {
        outward += t.Winding() * t.Centre() >= 0.0f;
        for (const Vec3& p : {t.a, t.b, t.c}) {
            nearest = std::min(nearest, Length(p) * scale);
            farthest = std::max(farthest, Length(p * scale + place));
        }
    }
    EXPECT_EQ(outward, 0);
    // Every face is at least the sky's radius minus its flattening away from its centre.
    EXPECT_GT(0.95f * nearest, Length(place));
    EXPECT_LT(farthest, 400.0f);
}
