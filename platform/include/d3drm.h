// Direct3D Retained Mode as the game uses it: a frame hierarchy, meshes from DirectX .x files
// (our own reader of the text format), textures, wraps, lights, and our own software rasteriser
// drawing into a DirectDraw surface. Also the IDirect3D device search reached through IDirectDraw.
//
// Conventions: left-handed, +z into the screen, row vectors (p' = p * M, translation in the last
// row); a frame's world matrix is its own matrix times its parent's, up to the root.
#pragma once

#include "ddraw.h"

typedef float D3DVALUE;
typedef DWORD D3DCOLOR;

struct D3DVECTOR {
    D3DVALUE x;
    D3DVALUE y;
    D3DVALUE z;
};
typedef D3DVECTOR* LPD3DVECTOR;

struct D3DRMVECTOR4D {
    D3DVALUE x;
    D3DVALUE y;
    D3DVALUE z;
    D3DVALUE w;
};
typedef D3DRMVECTOR4D* LPD3DRMVECTOR4D;

typedef D3DVALUE D3DRMMATRIX4D[4][4];

#define D3DRM_OK DD_OK
#define D3DRMERR_BADOBJECT MAKE_DDHRESULT(781)
#define D3DRMERR_BADTYPE MAKE_DDHRESULT(782)
#define D3DRMERR_BADALLOC MAKE_DDHRESULT(783)
#define D3DRMERR_FACEUSED MAKE_DDHRESULT(784)
#define D3DRMERR_NOTFOUND MAKE_DDHRESULT(785)
#define D3DRMERR_NOTDONEYET MAKE_DDHRESULT(786)
#define D3DRMERR_FILENOTFOUND MAKE_DDHRESULT(787)
#define D3DRMERR_BADFILE MAKE_DDHRESULT(788)
#define D3DRMERR_BADDEVICE MAKE_DDHRESULT(789)
#define D3DRMERR_BADVALUE MAKE_DDHRESULT(790)
#define D3DERR_INVALID_DEVICE MAKE_DDHRESULT(705)
#define D3DERR_INITFAILED MAKE_DDHRESULT(706)
#define DDERR_NODIRECTDRAWHW MAKE_DDHRESULT(400)

#define D3DRGBA(r, g, b, a)                                                                                            \
    ((((DWORD)((a)*255) & 0xff) << 24) | (((DWORD)((r)*255) & 0xff) << 16) | (((DWORD)((g)*255) & 0xff) << 8) |        \
     ((DWORD)((b)*255) & 0xff))

typedef int D3DRMCOMBINETYPE;
#define D3DRMCOMBINE_REPLACE 0
#define D3DRMCOMBINE_BEFORE 1
#define D3DRMCOMBINE_AFTER 2

typedef int D3DRMFRAMECONSTRAINT;
#define D3DRMCONSTRAIN_Z 0
#define D3DRMCONSTRAIN_Y 1
#define D3DRMCONSTRAIN_X 2

typedef int D3DRMLIGHTTYPE;
#define D3DRMLIGHT_AMBIENT 0
#define D3DRMLIGHT_POINT 1
#define D3DRMLIGHT_SPOT 2
#define D3DRMLIGHT_DIRECTIONAL 3
#define D3DRMLIGHT_PARALLELPOINT 4

typedef int D3DRMWRAPTYPE;
#define D3DRMWRAP_FLAT 0
#define D3DRMWRAP_CYLINDER 1
#define D3DRMWRAP_SPHERE 2
#define D3DRMWRAP_CHROME 3

// Render quality is a sum of shade mode, lighting and fill mode.
typedef DWORD D3DRMRENDERQUALITY;
#define D3DRMSHADE_FLAT 0
#define D3DRMSHADE_GOURAUD 1
#define D3DRMLIGHT_OFF 0
#define D3DRMLIGHT_ON 8
#define D3DRMFILL_POINTS 0
#define D3DRMFILL_WIREFRAME 64
#define D3DRMFILL_SOLID 128
#define D3DRMRENDER_FLAT (D3DRMSHADE_FLAT | D3DRMLIGHT_ON | D3DRMFILL_SOLID)
#define D3DRMRENDER_GOURAUD (D3DRMSHADE_GOURAUD | D3DRMLIGHT_ON | D3DRMFILL_SOLID)

typedef DWORD D3DRMLOADOPTIONS;
#define D3DRMLOAD_FROMFILE 0x00L

// The device search of IDirect3D.
typedef int D3DCOLORMODEL;
#define D3DCOLOR_MONO 1
#define D3DCOLOR_RGB 2
#define D3DFDS_COLORMODEL 0x00000001u
#define D3DFDS_GUID 0x00000002u
#define D3DFDS_HARDWARE 0x00000004u

struct D3DFINDDEVICESEARCH {
    DWORD dwSize;
    DWORD dwFlags;
    BOOL bHardware;
    D3DCOLORMODEL dcmColorModel;
    GUID guid;
    DWORD dwCaps;
};

struct D3DFINDDEVICERESULT {
    DWORD dwSize;
    GUID guid;
};

struct IDirect3D : IUnknown {
    virtual HRESULT FindDevice(D3DFINDDEVICESEARCH* search, D3DFINDDEVICERESULT* result) = 0;
};
typedef IDirect3D* LPDIRECT3D;

// {3BBA0080-2421-11CF-A31A-00AA00B93356}
inline constexpr GUID IID_IDirect3D = {0x3BBA0080, 0x2421, 0x11CF, {0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};

struct IDirect3DRMObject : IUnknown { };
typedef IDirect3DRMObject* LPDIRECT3DRMOBJECT;

struct IDirect3DRMVisual : IDirect3DRMObject { };
typedef IDirect3DRMVisual* LPDIRECT3DRMVISUAL;

struct IDirect3DRMTexture : IDirect3DRMVisual {
    virtual HRESULT SetDecalTransparency(BOOL on) = 0;
    virtual HRESULT SetDecalTransparentColor(D3DCOLOR colour) = 0;
};
typedef IDirect3DRMTexture* LPDIRECT3DRMTEXTURE;

typedef HRESULT (*D3DRMLOADTEXTURECALLBACK)(char* name, void* arg, LPDIRECT3DRMTEXTURE* texture);

struct IDirect3DRMMeshBuilder : IDirect3DRMVisual {
    virtual HRESULT Load(LPVOID fileName, LPVOID objectName, D3DRMLOADOPTIONS options,
                         D3DRMLOADTEXTURECALLBACK callback, LPVOID callbackArg) = 0;
    virtual HRESULT Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) = 0;
    virtual HRESULT SetTexture(LPDIRECT3DRMTEXTURE texture) = 0;
};
typedef IDirect3DRMMeshBuilder* LPDIRECT3DRMMESHBUILDER;

struct IDirect3DRMLight : IDirect3DRMObject { };
typedef IDirect3DRMLight* LPDIRECT3DRMLIGHT;

struct IDirect3DRMFrame;
typedef IDirect3DRMFrame* LPDIRECT3DRMFRAME;

struct IDirect3DRMFrame : IDirect3DRMVisual {
    virtual HRESULT AddLight(LPDIRECT3DRMLIGHT light) = 0;
    virtual HRESULT AddVisual(LPDIRECT3DRMVISUAL visual) = 0;
    virtual HRESULT DeleteVisual(LPDIRECT3DRMVISUAL visual) = 0;
    virtual HRESULT SetPosition(LPDIRECT3DRMFRAME reference, D3DVALUE x, D3DVALUE y, D3DVALUE z) = 0;
    virtual HRESULT GetPosition(LPDIRECT3DRMFRAME reference, LPD3DVECTOR position) = 0;
    virtual HRESULT SetOrientation(LPDIRECT3DRMFRAME reference, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux,
                                   D3DVALUE uy, D3DVALUE uz) = 0;
    virtual HRESULT GetOrientation(LPDIRECT3DRMFRAME reference, LPD3DVECTOR direction, LPD3DVECTOR up) = 0;
    virtual HRESULT AddRotation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta) = 0;
    virtual HRESULT LookAt(LPDIRECT3DRMFRAME target, LPDIRECT3DRMFRAME reference, D3DRMFRAMECONSTRAINT constraint) = 0;
    virtual HRESULT SetSceneBackground(D3DCOLOR colour) = 0;
};

struct IDirect3DRMWrap : IDirect3DRMObject {
    virtual HRESULT Apply(LPDIRECT3DRMOBJECT object) = 0;
};
typedef IDirect3DRMWrap* LPDIRECT3DRMWRAP;

struct IDirect3DRMDevice : IDirect3DRMObject {
    virtual HRESULT SetQuality(D3DRMRENDERQUALITY quality) = 0;
    virtual HRESULT SetBufferCount(DWORD count) = 0;
    virtual DWORD GetWidth() = 0;
    virtual DWORD GetHeight() = 0;
    virtual HRESULT Update() = 0;
};
typedef IDirect3DRMDevice* LPDIRECT3DRMDEVICE;

struct IDirect3DRMViewport : IDirect3DRMObject {
    virtual HRESULT SetFront(D3DVALUE front) = 0;
    virtual HRESULT SetBack(D3DVALUE back) = 0;
    virtual HRESULT Clear() = 0;
    virtual HRESULT Render(LPDIRECT3DRMFRAME frame) = 0;
    virtual HRESULT Transform(LPD3DRMVECTOR4D out, LPD3DVECTOR in) = 0;
};
typedef IDirect3DRMViewport* LPDIRECT3DRMVIEWPORT;

struct IDirect3DRM : IUnknown {
    virtual HRESULT CreateFrame(LPDIRECT3DRMFRAME parent, LPDIRECT3DRMFRAME* frame) = 0;
    virtual HRESULT CreateMeshBuilder(LPDIRECT3DRMMESHBUILDER* meshBuilder) = 0;
    virtual HRESULT CreateDeviceFromSurface(LPGUID guid, LPDIRECTDRAW directDraw, LPDIRECTDRAWSURFACE backBuffer,
                                            LPDIRECT3DRMDEVICE* device) = 0;
    virtual HRESULT CreateViewport(LPDIRECT3DRMDEVICE device, LPDIRECT3DRMFRAME camera, DWORD x, DWORD y, DWORD width,
                                   DWORD height, LPDIRECT3DRMVIEWPORT* viewport) = 0;
    virtual HRESULT LoadTexture(const char* fileName, LPDIRECT3DRMTEXTURE* texture) = 0;
    virtual HRESULT CreateWrap(D3DRMWRAPTYPE type, LPDIRECT3DRMFRAME reference, D3DVALUE ox, D3DVALUE oy, D3DVALUE oz,
                               D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux, D3DVALUE uy, D3DVALUE uz,
                               D3DVALUE ou, D3DVALUE ov, D3DVALUE su, D3DVALUE sv, LPDIRECT3DRMWRAP* wrap) = 0;
    virtual HRESULT CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE red, D3DVALUE green, D3DVALUE blue,
                                   LPDIRECT3DRMLIGHT* light) = 0;
};
typedef IDirect3DRM* LPDIRECT3DRM;

HRESULT Direct3DRMCreate(LPDIRECT3DRM* d3drm);
