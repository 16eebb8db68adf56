// Frames: placement, turning, orientation from (possibly zero) vectors, look-at, and references.
#include <gtest/gtest.h>

#include "d3drm.h"
#include "testing_render.h"

#include <cmath>

namespace {

const float EPS = 1e-4f;

struct Renderer {
    IDirect3DRM* rm = nullptr;
    IDirect3DRMFrame* scene = nullptr;
    Renderer()
    {
        EXPECT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
        EXPECT_EQ(rm->CreateFrame(nullptr, &scene), D3DRM_OK);
    }
    ~Renderer()
    {
        scene->Release();
        rm->Release();
    }
    IDirect3DRMFrame* Child(IDirect3DRMFrame* parent = nullptr)
    {
        IDirect3DRMFrame* frame = nullptr;
        EXPECT_EQ(rm->CreateFrame(parent ? parent : scene, &frame), D3DRM_OK);
        frame->Release(); // the parent keeps it
        return frame;
    }
};

void ExpectVector(const D3DVECTOR& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, EPS);
    EXPECT_NEAR(v.y, y, EPS);
    EXPECT_NEAR(v.z, z, EPS);
}

D3DVECTOR Position(IDirect3DRMFrame* frame, IDirect3DRMFrame* reference)
{
    D3DVECTOR p{};
    EXPECT_EQ(frame->GetPosition(reference, &p), D3DRM_OK);
    return p;
}

void Axes(IDirect3DRMFrame* frame, IDirect3DRMFrame* reference, D3DVECTOR* x, D3DVECTOR* y, D3DVECTOR* z)
{
    EXPECT_EQ(frame->GetOrientation(reference, z, y), D3DRM_OK);
    *x = {y->y * z->z - y->z * z->y, y->z * z->x - y->x * z->z, y->x * z->y - y->y * z->x};
}

void ExpectOrthonormal(IDirect3DRMFrame* frame, IDirect3DRMFrame* reference)
{
    D3DVECTOR x, y, z;
    Axes(frame, reference, &x, &y, &z);
    EXPECT_NEAR(z.x * z.x + z.y * z.y + z.z * z.z, 1.0f, EPS);
    EXPECT_NEAR(y.x * y.x + y.y * y.y + y.z * y.z, 1.0f, EPS);
    EXPECT_NEAR(y.x * z.x + y.y * z.y + y.z * z.z, 0.0f, EPS);
}

} // namespace

TEST(RenderFrames, RotationBeforeKeepsPositionAfterTurnsIt)
{
    Renderer r;
    IDirect3DRMFrame* before = r.Child();
    IDirect3DRMFrame* after = r.Child();
    const float quarter = 1.5707963f;
    for (IDirect3DRMFrame* f : {before, after})
        f->SetPosition(r.scene, 3, 3, 3);
    before->AddRotation(D3DRMCOMBINE_BEFORE, 1, 0, 0, quarter);
    after->AddRotation(D3DRMCOMBINE_AFTER, 1, 0, 0, quarter);
    ExpectVector(Position(before, r.scene), 3, 3, 3);
    ExpectVector(Position(after, r.scene), 3, -3, 3);

    // Both turned the same way: +y towards +z. Axis length does not scale the turn, and a zero
    // axis turns about x.
    D3DVECTOR x, y, z;
    Axes(before, r.scene, &x, &y, &z);
    ExpectVector(y, 0, 0, 1);
    IDirect3DRMFrame* scaledAxis = r.Child();
    scaledAxis->AddRotation(D3DRMCOMBINE_BEFORE, 0.1f, 0, 0, quarter);
    Axes(scaledAxis, r.scene, &x, &y, &z);
    ExpectVector(y, 0, 0, 1);
    IDirect3DRMFrame* zeroAxis = r.Child();
    zeroAxis->AddRotation(D3DRMCOMBINE_AFTER, 0, 0, 0, quarter);
    Axes(zeroAxis, r.scene, &x, &y, &z);
    ExpectVector(y, 0, 0, 1);

    // BEFORE turns about the frame's own axis: after facing +x, a turn about own z rolls about +x.
    IDirect3DRMFrame* own = r.Child();
    own->SetOrientation(r.scene, 1, 0, 0, 0, 1, 0);
    own->AddRotation(D3DRMCOMBINE_BEFORE, 0, 0, 1, quarter);
    Axes(own, r.scene, &x, &y, &z);
    ExpectVector(z, 1, 0, 0);
    EXPECT_NEAR(std::fabs(y.z), 1.0f, EPS);
}

TEST(RenderFrames, WorldMatrixComposesChildWithParent)
{
    Renderer r;
    IDirect3DRMFrame* parent = r.Child();
    IDirect3DRMFrame* child = r.Child(parent);
    parent->SetPosition(r.scene, 10, 0, 0);
    parent->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, 1.5707963f); // own z now along world +x
    child->SetPosition(nullptr, 0, 0, 5);                          // 5 along the parent's z
    ExpectVector(Position(child, r.scene), 15, 0, 0);
    ExpectVector(Position(child, parent), 0, 0, 5);
    // Setting a position relative to another frame lands at that frame's point.
    IDirect3DRMFrame* other = r.Child();
    other->SetPosition(child, 0, 0, 2);
    ExpectVector(Position(other, r.scene), 17, 0, 0);

    float m[4][4];
    TestFrameWorldMatrix(child, m);
    EXPECT_NEAR(m[3][0], 15, EPS);
    EXPECT_NEAR(m[2][0], 1, EPS); // the child's z row points along world +x
    EXPECT_EQ(TestFrameParent(child), parent);
    EXPECT_EQ(TestFrameParent(r.scene), nullptr);
}

TEST(RenderFrames, SetOrientationIsOrthonormalAndHandlesZeroVectors)
{
    Renderer r;
    IDirect3DRMFrame* f = r.Child();
    f->SetPosition(r.scene, 1, 2, 3);
    f->SetOrientation(r.scene, 0, 0, 2, 1, 0, 1); // up not perpendicular: made so
    D3DVECTOR x, y, z;
    Axes(f, r.scene, &x, &y, &z);
    ExpectVector(z, 0, 0, 1);
    ExpectVector(y, 1, 0, 0);
    ExpectVector(x, 0, -1, 0); // x = y cross z
    ExpectVector(Position(f, r.scene), 1, 2, 3);

    // Zero direction keeps z; the up vector still sets y.
    f->SetOrientation(r.scene, 0, 0, 0, 0, 0.5f, 0.5f);
    Axes(f, r.scene, &x, &y, &z);
    ExpectVector(z, 0, 0, 1);
    ExpectVector(y, 0, 1, 0);
    // Zero up keeps the present y made perpendicular to the new direction.
    f->SetOrientation(r.scene, 0, 1, 1, 0, 0, 0);
    Axes(f, r.scene, &x, &y, &z);
    ExpectVector(z, 0, 0.7071068f, 0.7071068f);
    ExpectVector(y, 0, 0.7071068f, -0.7071068f);
    // Up along the direction and present y along it too: still a usable frame.
    f->SetOrientation(r.scene, 0, 0.7071068f, -0.7071068f, 0, 1, -1);
    ExpectOrthonormal(f, r.scene);
    // Everything zero changes nothing.
    Axes(f, r.scene, &x, &y, &z);
    f->SetOrientation(r.scene, 0, 0, 0, 0, 0, 0);
    D3DVECTOR x2, y2, z2;
    Axes(f, r.scene, &x2, &y2, &z2);
    ExpectVector(z2, z.x, z.y, z.z);
    ExpectVector(y2, y.x, y.y, y.z);

    // The light frame's case: the direction counts, the zero up does not.
    IDirect3DRMFrame* light = r.Child();
    light->SetPosition(r.scene, 50, 0, 0);
    light->SetOrientation(nullptr, -0.5f, -0.5f, -0.5f, 0, 0, 0);
    Axes(light, r.scene, &x, &y, &z);
    ExpectVector(z, -0.5773503f, -0.5773503f, -0.5773503f);
    ExpectOrthonormal(light, r.scene);

    // A frame given zero vectors goes on turning normally.
    IDirect3DRMFrame* satellite = r.Child();
    satellite->SetOrientation(r.scene, 0, 0, 0, 0, 0.4f, -0.4f);
    for (int i = 0; i < 1000; i++)
        satellite->AddRotation(D3DRMCOMBINE_AFTER, 0, 0.4f, -0.4f, 0.02f);
    ExpectOrthonormal(satellite, r.scene);
}

// The weapon's pointer mapping relies on this exact attitude of the camera after its look-at.
TEST(RenderFrames, CameraLookAtAlongXLeavesRightDownAndTopBack)
{
    Renderer r;
    IDirect3DRMFrame* camera = r.Child();
    IDirect3DRMFrame* satellite = r.Child();
    satellite->SetPosition(r.scene, 32, 0, 0);
    // Whatever the camera's previous attitude, the look-at lands the same.
    for (int attempt = 0; attempt < 2; attempt++) {
        if (attempt == 1)
            camera->AddRotation(D3DRMCOMBINE_AFTER, 0.3f, 0.2f, 0.9f, 2.0f);
        camera->SetPosition(r.scene, 0, 0, 0);
        camera->SetOrientation(r.scene, 0, 0, 0, 0, 0, 0);
        ASSERT_EQ(camera->LookAt(satellite, r.scene, D3DRMCONSTRAIN_Y), D3DRM_OK);
        D3DVECTOR x, y, z;
        Axes(camera, r.scene, &x, &y, &z);
        ExpectVector(z, 1, 0, 0);
        ExpectVector(y, 0, 0, -1);
        ExpectVector(x, 0, -1, 0);
    }
}

TEST(RenderFrames, LookAtFacesTheTargetUnderEitherConstraint)
{
    Renderer r;
    IDirect3DRMFrame* target = r.Child();
    target->SetPosition(r.scene, 32, 0, 0);
    const float starts[][3] = {{300, 10, 5}, {-50, -40, 30}, {32, 0, -20}, {32, 0, 20}, {0, 0, 0}};
    for (D3DRMFRAMECONSTRAINT constraint : {D3DRMCONSTRAIN_X, D3DRMCONSTRAIN_Y}) {
        for (const auto& s : starts) {
            IDirect3DRMFrame* f = r.Child();
            f->SetPosition(r.scene, s[0], s[1], s[2]);
            f->LookAt(target, r.scene, constraint);
            D3DVECTOR x, y, z;
            Axes(f, r.scene, &x, &y, &z);
            float dx = 32 - s[0], dy = -s[1], dz = -s[2];
            float len = std::sqrt(dx * dx + dy * dy + dz * dz);
            ExpectVector(z, dx / len, dy / len, dz / len);
            ExpectOrthonormal(f, r.scene);
            if (constraint == D3DRMCONSTRAIN_X) {
                EXPECT_NEAR(y.z, 0.0f, EPS); // no turn about x: y stays in the xy plane
            }
        }
    }
}

TEST(RenderFrames, ReferenceCountsFollowOwnership)
{
    IDirect3DRM* rm = nullptr;
    ASSERT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
    IDirect3DRMFrame* root = nullptr;
    IDirect3DRMFrame* child = nullptr;
    rm->CreateFrame(nullptr, &root);
    rm->CreateFrame(root, &child);
    EXPECT_EQ(child->RefCount(), 2u); // ours and the parent's
    IDirect3DRMMeshBuilder* mesh = nullptr;
    rm->CreateMeshBuilder(&mesh);
    IDirect3DRMLight* light = nullptr;
    rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.35f, 0.35f, 0.35f, &light);
    child->AddVisual(mesh);
    child->AddVisual(mesh); // once is enough
    child->AddLight(light);
    EXPECT_EQ(TestFrameVisualCount(child), 1);
    EXPECT_EQ(mesh->RefCount(), 2u);
    EXPECT_EQ(light->RefCount(), 2u);
    EXPECT_EQ(TestFrameChildCount(root), 1);

    EXPECT_EQ(child->DeleteVisual(mesh), D3DRM_OK);
    EXPECT_FALSE(TestFrameHasVisual(child, mesh));
    EXPECT_NE(child->DeleteVisual(mesh), D3DRM_OK); // not attached: harmless
    EXPECT_EQ(mesh->RefCount(), 1u);
    child->AddVisual(mesh);

    // Releasing our references leaves the graph alive through the root...
    EXPECT_EQ(child->Release(), 1u);
    mesh->Release();
    light->Release();
    EXPECT_TRUE(TestFrameHasVisual(child, mesh));
    // ...and the root's last release frees all (the sanitiser build checks nothing leaks).
    EXPECT_EQ(root->Release(), 0u);
    EXPECT_EQ(rm->Release(), 0u);
}
