#pragma once
// IWMProfileManager with the codec enumeration (IWMCodecInfo3) of the codecs FFmpeg can encode.
#include "wm_interfaces.h"

class ProfileManager : public IWMProfileManager, public IWMCodecInfo3 {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    WMF_REFCOUNT

    // IWMProfileManager
    HRESULT STDMETHODCALLTYPE CreateEmptyProfile(WMT_VERSION version, IWMProfile** profile) override;
    HRESULT STDMETHODCALLTYPE LoadProfileByID(REFGUID, IWMProfile**) override { return NS_E_INVALID_REQUEST; }
    HRESULT STDMETHODCALLTYPE LoadProfileByData(const WCHAR*, IWMProfile**) override { return NS_E_INVALID_REQUEST; }
    HRESULT STDMETHODCALLTYPE SaveProfile(IWMProfile*, WCHAR*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSystemProfileCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE LoadSystemProfile(DWORD, IWMProfile**) override { return E_INVALIDARG; }
    // IWMCodecInfo
    HRESULT STDMETHODCALLTYPE GetCodecInfoCount(REFGUID type, DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetCodecFormatCount(REFGUID type, DWORD codec, DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetCodecFormat(REFGUID type, DWORD codec, DWORD format, IWMStreamConfig** config) override;
    // IWMCodecInfo2
    HRESULT STDMETHODCALLTYPE GetCodecName(REFGUID type, DWORD codec, WCHAR* name, DWORD* length) override;
    HRESULT STDMETHODCALLTYPE GetCodecFormatDesc(REFGUID type, DWORD codec, DWORD format, IWMStreamConfig** config,
                                                 WCHAR* description, DWORD* length) override;
    // IWMCodecInfo3
    HRESULT STDMETHODCALLTYPE GetCodecFormatProp(REFGUID type, DWORD codec, DWORD format, const WCHAR* name,
                                                 WMT_ATTR_DATATYPE* valueType, BYTE* value, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE GetCodecProp(REFGUID type, DWORD codec, const WCHAR* name, WMT_ATTR_DATATYPE* valueType,
                                           BYTE* value, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE SetCodecEnumerationSetting(REFGUID type, DWORD codec, const WCHAR* name,
                                                         WMT_ATTR_DATATYPE valueType, const BYTE* value,
                                                         DWORD size) override;
    HRESULT STDMETHODCALLTYPE GetCodecEnumerationSetting(REFGUID type, DWORD codec, const WCHAR* name,
                                                         WMT_ATTR_DATATYPE* valueType, BYTE* value,
                                                         DWORD* size) override;

private:
    virtual ~ProfileManager() = default;
};
