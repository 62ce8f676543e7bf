#pragma once
// The Windows Media Format SDK headers. Their media-type GUIDs are defined in every unit that
// includes them; outside MSVC they are made weak so that the units link together.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#if !defined(_MSC_VER) && !defined(EXTERN_GUID)
#define EXTERN_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    extern "C" const GUID __attribute__((weak)) name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
#endif
#include <windows.h>
#ifdef WMF_DEFINE_GUIDS
// The one unit that instantiates the SDK's interface identifiers (the base COM ones come from libuuid).
#include <ole2.h>
#include <oaidl.h>
#include <drmexternals.h>
#include <initguid.h>
#endif
#include <wmsdk.h>
