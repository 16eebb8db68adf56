// Frames of the retained-mode stand-in: the hierarchy, placement and turning (no library).
#include "d3drm_objects.h"

#include <algorithm>

namespace {

Mat4 WorldOrIdentity(const FrameObject* frame)
{
    return frame ? FrameWorldMatrix(frame) : Mat4();
}

// Maps coordinates given relative to `reference` (null: the parent) into the parent's.
Mat4 ReferenceToParent(const FrameObject* frame, const FrameObject* reference)
{
    if (!reference)
        return Mat4();
    return Multiply(FrameWorldMatrix(reference), InverseRigid(WorldOrIdentity(frame->parent)));
}

bool ResolveReference(LPDIRECT3DRMFRAME reference, FrameObject** out)
{
    *out = nullptr;
    if (!reference)
        return true;
    *out = AsFrame(reference);
    return *out != nullptr;
}

// `candidate` made perpendicular to the unit `z` and normalised; false when it has no usable part
// across z.
bool PerpendicularTo(Vec3 z, Vec3 candidate, Vec3* out)
{
    float len = Length(candidate);
    if (!(len > 1e-12f) || !std::isfinite(len))
        return false;
    Vec3 across = candidate - z * Dot(candidate, z);
    if (!(Length(across) > 1e-5f * len))
        return false;
    return Normalise(across, out);
}

// Rotation rows from a direction and an up vector (both in the parent's coordinates), keeping
// the position. The game passes zero-length vectors, so: a zero direction keeps the frame's
// present z axis; an up that is zero or along the direction keeps the present y axis made
// perpendicular, and failing that the first of the parent's y, z, x axes that is usable. The
// frame thus always ends orthonormal and goes on turning normally.
void SetAxes(Mat4* local, Vec3 direction, Vec3 up)
{
    Vec3 z;
    if (!Normalise(direction, &z) && !Normalise(Row(*local, 2), &z))
        z = MakeVec3(0, 0, 1);
    Vec3 y;
    if (!PerpendicularTo(z, up, &y) && !PerpendicularTo(z, Row(*local, 1), &y) &&
        !PerpendicularTo(z, MakeVec3(0, 1, 0), &y) && !PerpendicularTo(z, MakeVec3(0, 0, 1), &y))
        PerpendicularTo(z, MakeVec3(1, 0, 0), &y);
    SetRow(local, 0, Cross(y, z));
    SetRow(local, 1, y);
    SetRow(local, 2, z);
}

// Keeps many small turns from drifting away from a pure rotation.
void Reorthonormalise(Mat4* local)
{
    SetAxes(local, Row(*local, 2), Row(*local, 1));
}

} // namespace

FrameObject* AsFrame(IUnknown* object)
{
    return dynamic_cast<FrameObject*>(object);
}

Mat4 FrameWorldMatrix(const FrameObject* frame)
{
    Mat4 world = frame->local;
    for (const FrameObject* up = frame->parent; up; up = up->parent)
        world = Multiply(world, up->local);
    return world;
}

FrameObject::~FrameObject()
{
    for (FrameObject* child : children) {
        child->parent = nullptr;
        child->Release();
    }
    for (IDirect3DRMVisual* visual : visuals)
        visual->Release();
    for (LightObject* light : lights)
        light->Release();
}

HRESULT FrameObject::AddLight(LPDIRECT3DRMLIGHT light)
{
    LightObject* object = dynamic_cast<LightObject*>(light);
    if (!object)
        return D3DRMERR_BADOBJECT;
    if (std::find(lights.begin(), lights.end(), object) == lights.end()) {
        object->AddRef();
        lights.push_back(object);
    }
    return D3DRM_OK;
}

HRESULT FrameObject::AddVisual(LPDIRECT3DRMVISUAL visual)
{
    if (!visual || visual == this)
        return D3DRMERR_BADOBJECT;
    if (std::find(visuals.begin(), visuals.end(), visual) == visuals.end()) {
        visual->AddRef();
        visuals.push_back(visual);
    }
    return D3DRM_OK;
}

HRESULT FrameObject::DeleteVisual(LPDIRECT3DRMVISUAL visual)
{
    auto found = std::find(visuals.begin(), visuals.end(), visual);
    if (found == visuals.end())
        return D3DRMERR_NOTFOUND; // not attached: nothing to do
    visuals.erase(found);
    visual->Release();
    return D3DRM_OK;
}

HRESULT FrameObject::SetPosition(LPDIRECT3DRMFRAME reference, D3DVALUE x, D3DVALUE y, D3DVALUE z)
{
    FrameObject* ref;
    if (!ResolveReference(reference, &ref))
        return D3DRMERR_BADOBJECT;
    Vec3 p = MakeVec3(x, y, z);
    if (!IsFinite(p))
        return D3DRMERR_BADVALUE;
    SetRow(&local, 3, TransformPoint(p, ReferenceToParent(this, ref)));
    return D3DRM_OK;
}

HRESULT FrameObject::GetPosition(LPDIRECT3DRMFRAME reference, LPD3DVECTOR position)
{
    FrameObject* ref;
    if (!ResolveReference(reference, &ref))
        return D3DRMERR_BADOBJECT;
    if (!position)
        return D3DRMERR_BADVALUE;
    Vec3 p = Row(local, 3);
    if (ref)
        p = TransformPoint(TransformPoint(p, WorldOrIdentity(parent)), InverseRigid(FrameWorldMatrix(ref)));
    *position = D3DVECTOR{p.x, p.y, p.z};
    return D3DRM_OK;
}

HRESULT FrameObject::SetOrientation(LPDIRECT3DRMFRAME reference, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux,
                                    D3DVALUE uy, D3DVALUE uz)
{
    FrameObject* ref;
    if (!ResolveReference(reference, &ref))
        return D3DRMERR_BADOBJECT;
    Mat4 toParent = ReferenceToParent(this, ref);
    SetAxes(&local, TransformDirection(MakeVec3(dx, dy, dz), toParent),
            TransformDirection(MakeVec3(ux, uy, uz), toParent));
    return D3DRM_OK;
}

HRESULT FrameObject::GetOrientation(LPDIRECT3DRMFRAME reference, LPD3DVECTOR direction, LPD3DVECTOR up)
{
    FrameObject* ref;
    if (!ResolveReference(reference, &ref))
        return D3DRMERR_BADOBJECT;
    if (!direction || !up)
        return D3DRMERR_BADVALUE;
    Mat4 toRef = ref ? InverseRigid(ReferenceToParent(this, ref)) : Mat4();
    Vec3 z = TransformDirection(Row(local, 2), toRef);
    Vec3 y = TransformDirection(Row(local, 1), toRef);
    *direction = D3DVECTOR{z.x, z.y, z.z};
    *up = D3DVECTOR{y.x, y.y, y.z};
    return D3DRM_OK;
}

HRESULT FrameObject::AddRotation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta)
{
    Vec3 axis;
    if (!Normalise(MakeVec3(x, y, z), &axis))
        axis = MakeVec3(1, 0, 0); // a zero axis turns about x
    if (!std::isfinite(theta))
        return D3DRMERR_BADVALUE;
    Mat4 turn = RotationAbout(axis, theta);
    switch (combine) {
    case D3DRMCOMBINE_REPLACE:
        for (int row = 0; row < 3; row++)
            SetRow(&local, row, Row(turn, row));
        break;
    case D3DRMCOMBINE_BEFORE: // about the frame's own axis; the position stays
        local = Multiply(turn, local);
        break;
    case D3DRMCOMBINE_AFTER: // about the parent's axis through its origin; the position turns too
        local = Multiply(local, turn);
        break;
    default: return D3DRMERR_BADVALUE;
    }
    Reorthonormalise(&local);
    return D3DRM_OK;
}

// The frame's z axis is pointed at the target. The constrained forms do not depend on the frame's
// previous attitude: starting from the reference's axes, CONSTRAIN_Y tips z towards +y about x
// and then spins about the reference's z axis (no turn about y); CONSTRAIN_X tips z towards +x
// about y and then spins about z (no turn about x). Facing +x under CONSTRAIN_Y thus leaves the
// frame's x axis along -y and its y axis along -z. Other constraints keep the present up vector.
HRESULT FrameObject::LookAt(LPDIRECT3DRMFRAME target, LPDIRECT3DRMFRAME reference, D3DRMFRAMECONSTRAINT constraint)
{
    FrameObject* aim = AsFrame(target);
    FrameObject* ref;
    if (!aim || aim == this || !ResolveReference(reference, &ref))
        return D3DRMERR_BADOBJECT;
    Mat4 fromWorld = InverseRigid(ref ? FrameWorldMatrix(ref) : WorldOrIdentity(parent));
    Vec3 offset = Row(FrameWorldMatrix(aim), 3) - Row(FrameWorldMatrix(this), 3);
    Vec3 d;
    if (!Normalise(TransformDirection(offset, fromWorld), &d))
        return D3DRM_OK; // standing on the target: nothing to face
    float across = std::sqrt(d.x * d.x + d.y * d.y);
    Vec3 up;
    if (constraint == D3DRMCONSTRAIN_Y) {
        if (across > 1e-6f)
            up = MakeVec3(d.x * d.z / across, d.y * d.z / across, -across);
        else
            up = MakeVec3(0, d.z > 0 ? 1.0f : -1.0f, 0);
    } else if (constraint == D3DRMCONSTRAIN_X) {
        up = across > 1e-6f ? MakeVec3(-d.y / across, d.x / across, 0) : MakeVec3(0, 1, 0);
    } else {
        D3DVECTOR z, y;
        GetOrientation(reference, &z, &y);
        up = MakeVec3(y.x, y.y, y.z);
    }
    return SetOrientation(reference, d.x, d.y, d.z, up.x, up.y, up.z);
}

HRESULT FrameObject::SetSceneBackground(D3DCOLOR colour)
{
    background = colour;
    return D3DRM_OK;
}
