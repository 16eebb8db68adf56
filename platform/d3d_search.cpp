// The IDirect3D device search behind IDirectDraw (no library: one software RGB device).
#include "platform_internal.h"

IDirect3D* CreateDirect3D(IDirectDraw*)
{
    return nullptr;
}
