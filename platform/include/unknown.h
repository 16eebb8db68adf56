// COM-style reference counting shared by every stand-in interface.
#pragma once

#include "windows.h"

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID IID;
typedef GUID* LPGUID;
typedef const GUID& REFIID;

inline bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; i++)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001u)
#define E_NOINTERFACE ((HRESULT)0x80004002u)
#define E_POINTER ((HRESULT)0x80004003u)
#define E_FAIL ((HRESULT)0x80004005u)
#define E_OUTOFMEMORY ((HRESULT)0x8007000Eu)
#define E_INVALIDARG ((HRESULT)0x80070057u)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

// The objects are freed when the last reference goes. Interfaces are abstract; each
// implementation file defines the concrete object behind them.
struct IUnknown {
    virtual ~IUnknown() = default;
    virtual HRESULT QueryInterface(REFIID iid, void** object)
    {
        (void)iid;
        if (object)
            *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() { return ++m_refCount; }
    ULONG Release()
    {
        ULONG left = --m_refCount;
        if (left == 0)
            delete this;
        return left;
    }
    ULONG RefCount() const { return m_refCount; }

private:
    ULONG m_refCount = 1;
};
typedef IUnknown* LPUNKNOWN;
