// The built scene, missing files, and the motion of the scenery and the camera.
#include <gtest/gtest.h>

#include "harness.h"
#include "testing_render.h"

#include "display/draw2d.h"
#include "game/round.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"
#include "scene/scenery.h"

#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <unistd.h>

namespace {

// Runs the game to its first presented frame and calls check there, then quits.
void AtFirstFrame(const std::function<void()>& check)
{
    GameScript script;
    script.maxFrames = 1;
    script.onFrame = [&](int, GameScript&) { check(); };
    EXPECT_EQ(RunGame(script), 1);
}

D3DVECTOR Cross(D3DVECTOR a, D3DVECTOR b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(D3DVECTOR a, D3DVECTOR b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

void ExpectNear(D3DVECTOR v, float x, float y, float z, float tolerance = 1e-4f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

struct Attitude {
    D3DVECTOR direction;
    D3DVECTOR up;
};

Attitude AttitudeOf(LPDIRECT3DRMFRAME frame)
{
    Attitude attitude;
    frame->GetOrientation(g_scene, &attitude.direction, &attitude.up);
    return attitude;
}

// The angle of the turn taking one attitude to the other, from the trace of the rotation.
float TurnBetween(const Attitude& a, const Attitude& b)
{
    float trace =
        Dot(Cross(a.up, a.direction), Cross(b.up, b.direction)) + Dot(a.up, b.up) + Dot(a.direction, b.direction);
    return std::acos(std::fmax(-1.0f, std::fmin(1.0f, (trace - 1) / 2)));
}

D3DVECTOR DrawnPosition(LPDIRECT3DRMFRAME frame)
{
    float world[4][4];
    TestFrameWorldMatrix(frame, world);
    return {world[3][0], world[3][1], world[3][2]};
}

} // namespace

TEST(SceneBuild, FillsExactlyTheSlotsInUse)
{
    AtFirstFrame([] {
        std::set<int> frames = {0, 1, 2, 3, 5, 7, 8, 9, 60};
        for (int i = 10; i < 50; i++)
            frames.insert(i);
        const std::set<int> meshes = {0, 1, 2, 3, 5, 7, 8};
        const std::set<int> textures = {5, 8};
        for (int slot = 0; slot < SCENE_SLOTS; slot++) {
            EXPECT_EQ(g_frames[slot] != nullptr, frames.count(slot) == 1) << "frame " << slot;
            EXPECT_EQ(g_meshes[slot] != nullptr, meshes.count(slot) == 1) << "mesh " << slot;
            EXPECT_EQ(g_textures[slot] != nullptr, textures.count(slot) == 1) << "texture " << slot;
            if (g_frames[slot]) {
                EXPECT_EQ(TestFrameParent(g_frames[slot]), g_scene) << "frame " << slot;
            }
        }
        // Only the satellite, the earth and the sky show their models.
        for (int slot : frames) {
            bool shown = slot == SLOT_SATELLITE || slot == SLOT_EARTH || slot == SLOT_SKY;
            EXPECT_EQ(TestFrameVisualCount(g_frames[slot]), shown ? 1 : 0) << "frame " << slot;
            if (shown) {
                EXPECT_TRUE(TestFrameHasVisual(g_frames[slot], g_meshes[slot]));
            }
        }
        for (int slot : meshes)
            EXPECT_GT(TestMeshFaceCount(g_meshes[slot]), 0) << "mesh " << slot;
        for (int slot : textures)
            EXPECT_TRUE(TestTextureLoaded(g_textures[slot]));
        EXPECT_EQ(g_frames[SLOT_ENEMY_BASE - 1], g_frames[SLOT_AIM]);
        EXPECT_NE(g_frames[SLOT_AIM], g_frames[SLOT_SHOT_PIVOT]);
        EXPECT_EQ(TestDeviceQuality(g_device), 0x89u);
        EXPECT_EQ(TestFrameLightCount(g_scene), 1);
        EXPECT_EQ(g_spriteSheets[SPR_DIGITS].fileName, std::string("number_char.bmp"));
        EXPECT_NE(g_spriteSheets[SPR_DIGITS].surface, nullptr);
    });
}

// A model that cannot be read, or whose path does not fit, leaves an empty, invisible mesh.
TEST(SceneBuild, MissingOrOverlongModelFilesLeaveEmptyObjects)
{
    AtFirstFrame([] {
        EXPECT_TRUE(LoadModel("no_such_model.x", "no_such_texture.bmp", 70, 1, 1, 1, true, nullptr));
        ASSERT_TRUE(g_frames[70] && g_meshes[70]);
        EXPECT_EQ(TestMeshFaceCount(g_meshes[70]), 0);
        EXPECT_TRUE(g_textures[70] == nullptr || !TestTextureLoaded(g_textures[70]));

        std::string longName(2100, 'a');
        EXPECT_TRUE(LoadModel((longName + ".x").c_str(), (longName + ".bmp").c_str(), 71, 1, 1, 1, true, nullptr));
        ASSERT_TRUE(g_meshes[71]);
        EXPECT_EQ(TestMeshFaceCount(g_meshes[71]), 0);
        EXPECT_EQ(g_textures[71], nullptr);
    });
}

TEST(SceneBuild, MeshBuilderFailureLeavesThatModelOut)
{
    TestFailNext(FailPoint::CreateMeshBuilder);
    AtFirstFrame([] {
        EXPECT_EQ(g_meshes[SLOT_SATELLITE], nullptr);
        EXPECT_NE(g_frames[SLOT_SATELLITE], nullptr);
        EXPECT_EQ(TestFrameVisualCount(g_frames[SLOT_SATELLITE]), 0);
        EXPECT_NE(g_meshes[SLOT_ICBM], nullptr);
    });
}

// Started from another directory the sprite bitmaps and the sound are not found; the game runs.
// Started from a folder without its data, the game takes the sprites from the executable's folder
// (a sheet whose file is found nowhere stays empty: the display tests cover that).
TEST(SceneBuild, FromAnotherFolderSpritesComeFromTheExecutablesFolder)
{
    char dir[] = "/tmp/scenetestXXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    ASSERT_EQ(chdir(dir), 0);
    AtFirstFrame([] {
        EXPECT_NE(g_spriteSheets[SPR_TITLE].surface, nullptr);
        EXPECT_NE(g_spriteSheets[SPR_TOTALBONUS_LABEL].surface, nullptr);
        EXPECT_GT(TestMeshFaceCount(g_meshes[SLOT_EARTH]), 0); // models come from the module directory
    });
}

TEST(SceneScenery, CameraFacesTheSatelliteThenRollsHalfATurnIn90Seconds)
{
    AtFirstFrame([] {
        g_camera->SetPosition(g_scene, 0, 0, 0);
        g_satellitePosition = {32, 0, 0};
        g_frameDelta = 0;
        MoveSatellite();
        bool reaim = true;
        MoveCamera(reaim);
        EXPECT_FALSE(reaim);
        Attitude start = AttitudeOf(g_camera);
        ExpectNear(start.direction, 1, 0, 0);
        ExpectNear(start.up, 0, 0, -1);
        ExpectNear(Cross(start.up, start.direction), 0, -1, 0); // the right side

        g_frameDelta = 1.0f;
        for (int second = 0; second < 90; second++)
            MoveCamera(reaim);
        Attitude rolled = AttitudeOf(g_camera);
        ExpectNear(rolled.direction, 1, 0, 0);
        float angle = std::atan2(Dot(Cross(start.up, rolled.up), start.direction), Dot(start.up, rolled.up));
        EXPECT_NEAR(std::fabs(angle), 3.141f, 2e-3f);
    });
}

TEST(SceneScenery, ZeroDeltaTurnsOnlyTheSatellite)
{
    AtFirstFrame([] {
        g_frameDelta = 0;
        bool reaim = false;
        MoveScenery();
        MoveSatellite();
        EXPECT_EQ(g_skyOrientPending, 0);
        EXPECT_EQ(g_satelliteOrientPending, 0);
        Attitude sky = AttitudeOf(g_frames[SLOT_SKY]);
        Attitude earth = AttitudeOf(g_frames[SLOT_EARTH]);
        Attitude camera = AttitudeOf(g_camera);
        Attitude satellite = AttitudeOf(g_frames[SLOT_SATELLITE]);

        MoveScenery();
        MoveSatellite();
        MoveCamera(reaim);
        ExpectNear(AttitudeOf(g_frames[SLOT_SKY]).direction, sky.direction.x, sky.direction.y, sky.direction.z, 1e-6f);
        ExpectNear(AttitudeOf(g_frames[SLOT_EARTH]).up, earth.up.x, earth.up.y, earth.up.z, 1e-6f);
        ExpectNear(AttitudeOf(g_camera).up, camera.up.x, camera.up.y, camera.up.z, 1e-6f);
        EXPECT_NEAR(TurnBetween(satellite, AttitudeOf(g_frames[SLOT_SATELLITE])), 0.02f, 1e-4f);
    });
}

TEST(SceneScenery, EarthAndSatelliteAreDrawnAtTheirStoredPositions)
{
    AtFirstFrame([] {
        g_earthPosition = {136, -37, -25};
        g_satellitePosition = {32, 0, 0};
        g_skyPosition = {90, -6, 13};
        for (float delta : {0.016f, 0.5f, 3.0f}) {
            g_frameDelta = delta;
            MoveScenery();
            MoveSatellite();
            D3DVECTOR earth = DrawnPosition(g_frames[SLOT_EARTH]);
            D3DVECTOR satellite = DrawnPosition(g_frames[SLOT_SATELLITE]);
            EXPECT_FLOAT_EQ(earth.x, 136);
            EXPECT_FLOAT_EQ(earth.y, -37);
            EXPECT_FLOAT_EQ(earth.z, -25);
            EXPECT_FLOAT_EQ(satellite.x, 32);
            EXPECT_FLOAT_EQ(satellite.y, 0);
            EXPECT_FLOAT_EQ(satellite.z, 0);
            // The sky is off its place by no more than this frame's turn about the origin.
            D3DVECTOR sky = DrawnPosition(g_frames[SLOT_SKY]);
            D3DVECTOR off = {sky.x - 90, sky.y + 6, sky.z - 13};
            float distance = std::sqrt(90.0f * 90 + 6 * 6 + 13 * 13);
            EXPECT_LE(std::sqrt(Dot(off, off)), distance * 0.08f * delta + 1e-3f);
        }
    });
}
