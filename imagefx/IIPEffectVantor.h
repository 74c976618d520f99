// The control interface of the Vantor Image Effects filter and the identities the main program
// needs to create and drive it. Self-contained: only platform headers.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <strmif.h>

// {15617D4A-D387-475A-8B08-18574FB83D34}
static const CLSID CLSID_VantorImageEffects = {
    0x15617d4a, 0xd387, 0x475a, {0x8b, 0x08, 0x18, 0x57, 0x4f, 0xb8, 0x3d, 0x34}};

// {D6D8FCD4-142B-4A53-8792-1C3E82C7D3E7}
static const CLSID CLSID_VantorImageEffectsPropertyPage = {
    0xd6d8fcd4, 0x142b, 0x4a53, {0x87, 0x92, 0x1c, 0x3e, 0x82, 0xc7, 0xd3, 0xe7}};

// {BF1A64D0-C89E-46D9-B1DC-C53228C7E40C}
static const IID IID_IIPEffectVantor = {
    0xbf1a64d0, 0xc89e, 0x46d9, {0xb1, 0xdc, 0xc5, 0x32, 0x28, 0xc7, 0xe4, 0x0c}};

// The slot order is the binary contract with callers built separately: never reorder.
MIDL_INTERFACE("BF1A64D0-C89E-46D9-B1DC-C53228C7E40C")
IIPEffectVantor : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Mirror(int* mirror) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Mirror(int mirror) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Flip(int* flip) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Flip(int flip) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Zoom(float* zoom) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Zoom(float zoom) = 0;
    // Each argument may be null. The media type is a shallow copy of one the filter keeps: its
    // format block stays valid until the next TakeSnapshot call or the filter's release, and the
    // caller frees nothing of it. pUnk is always null.
    virtual HRESULT STDMETHODCALLTYPE TakeSnapshot(int* size, BYTE* buffer, AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Freeze(int freeze) = 0;
};

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IIPEffectVantor, 0xbf1a64d0, 0xc89e, 0x46d9, 0xb1, 0xdc, 0xc5, 0x32, 0x28, 0xc7, 0xe4, 0x0c)
#endif
