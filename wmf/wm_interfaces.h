#pragma once
// The Windows Media Format SDK interfaces, plus the stream-configuration revisions that
// Wine's headers lack (IWMStreamConfig2, IWMStreamConfig3).
#include "wm_sdk.h"

EXTERN_GUID(WMFORMAT_WaveFormatEx, 0x05589f81, 0xc356, 0x11ce, 0xbf, 0x01, 0x00, 0xaa, 0x00, 0x55, 0x59, 0x5a);

EXTERN_GUID(WMMEDIATYPE_Script, 0x73636d64, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71);

typedef enum WMT_TRANSPORT_TYPE { WMT_Transport_Type_Unreliable = 0, WMT_Transport_Type_Reliable = 1 } WMT_TRANSPORT_TYPE;

DEFINE_GUID(IID_IWMStreamConfig2, 0x7688d8cb, 0xfc0d, 0x43bd, 0x94, 0x59, 0x5a, 0x8d, 0xec, 0x20, 0x0c, 0xfa);
DEFINE_GUID(IID_IWMStreamConfig3, 0xcb164104, 0x3aa9, 0x45a7, 0x9a, 0xc9, 0x4d, 0xae, 0xe1, 0x31, 0xd6, 0xe1);

MIDL_INTERFACE("7688d8cb-fc0d-43bd-9459-5a8dec200cfa")
IWMStreamConfig2 : public IWMStreamConfig
{
    virtual HRESULT STDMETHODCALLTYPE GetTransportType(WMT_TRANSPORT_TYPE* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTransportType(WMT_TRANSPORT_TYPE type) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddDataUnitExtension(GUID system, WORD dataSize, BYTE* info, DWORD infoSize) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDataUnitExtensionCount(WORD* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDataUnitExtension(WORD number, GUID* system, WORD* dataSize, BYTE* info,
                                                           DWORD* infoSize) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAllDataUnitExtensions() = 0;
};

MIDL_INTERFACE("cb164104-3aa9-45a7-9ac9-4daee131d6e1")
IWMStreamConfig3 : public IWMStreamConfig2
{
    virtual HRESULT STDMETHODCALLTYPE GetLanguage(WCHAR* language, WORD* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLanguage(LPWSTR language) = 0;
};

// Reference counting shared by the layer's objects; QueryInterface stays with each class.
#define WMF_REFCOUNT                                                                        \
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }     \
    ULONG STDMETHODCALLTYPE Release() override                                             \
    {                                                                                      \
        ULONG left = InterlockedDecrement(&refs_);                                         \
        if (!left) delete this;                                                            \
        return left;                                                                       \
    }                                                                                      \
    LONG refs_ = 1;
