// The renderer object (our own software renderer; models through Assimp).
#include "d3drm.h"
#include "testing.h"

HRESULT Direct3DRMCreate(LPDIRECT3DRM* d3drm)
{
    if (d3drm)
        *d3drm = nullptr;
    if (TestShouldFail(FailPoint::Direct3DRMCreate))
        return D3DRMERR_BADALLOC;
    return D3DRMERR_NOTDONEYET;
}
