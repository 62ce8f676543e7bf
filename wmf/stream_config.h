#pragma once
// One stream of a profile: IWMStreamConfig3 with IWMMediaProps and IWMPropertyVault.
#include <string>
#include <vector>

#include "media_type.h"
#include "wm_interfaces.h"

class StreamConfig : public IWMStreamConfig3, public IWMMediaProps, public IWMPropertyVault {
public:
    explicit StreamConfig(const GUID& streamType);
    // A copy of any stream configuration, read through its interfaces.
    static HRESULT CopyFrom(IWMStreamConfig* from, StreamConfig** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    WMF_REFCOUNT

    // IWMStreamConfig
    HRESULT STDMETHODCALLTYPE GetStreamType(GUID* type) override;
    HRESULT STDMETHODCALLTYPE GetStreamNumber(WORD* number) override;
    HRESULT STDMETHODCALLTYPE SetStreamNumber(WORD number) override;
    HRESULT STDMETHODCALLTYPE GetStreamName(WCHAR* name, WORD* length) override;
    HRESULT STDMETHODCALLTYPE SetStreamName(LPCWSTR_WMSDK_TYPE_SAFE name) override;
    HRESULT STDMETHODCALLTYPE GetConnectionName(WCHAR* name, WORD* length) override;
    HRESULT STDMETHODCALLTYPE SetConnectionName(LPCWSTR_WMSDK_TYPE_SAFE name) override;
    HRESULT STDMETHODCALLTYPE GetBitrate(DWORD* bitrate) override;
    HRESULT STDMETHODCALLTYPE SetBitrate(DWORD bitrate) override;
    HRESULT STDMETHODCALLTYPE GetBufferWindow(DWORD* window) override;
    HRESULT STDMETHODCALLTYPE SetBufferWindow(DWORD window) override;
    // IWMStreamConfig2
    HRESULT STDMETHODCALLTYPE GetTransportType(WMT_TRANSPORT_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE SetTransportType(WMT_TRANSPORT_TYPE type) override;
    HRESULT STDMETHODCALLTYPE AddDataUnitExtension(GUID, WORD, BYTE*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDataUnitExtensionCount(WORD* count) override;
    HRESULT STDMETHODCALLTYPE GetDataUnitExtension(WORD, GUID*, WORD*, BYTE*, DWORD*) override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE RemoveAllDataUnitExtensions() override { return S_OK; }
    // IWMStreamConfig3
    HRESULT STDMETHODCALLTYPE GetLanguage(WCHAR* language, WORD* length) override;
    HRESULT STDMETHODCALLTYPE SetLanguage(LPWSTR language) override;
    // IWMMediaProps
    HRESULT STDMETHODCALLTYPE GetType(GUID* type) override;
    HRESULT STDMETHODCALLTYPE GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE SetMediaType(WM_MEDIA_TYPE* type) override;
    // IWMPropertyVault
    HRESULT STDMETHODCALLTYPE GetPropertyCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetPropertyByName(const WCHAR* name, WMT_ATTR_DATATYPE* type, BYTE* value,
                                                DWORD* size) override;
    HRESULT STDMETHODCALLTYPE SetProperty(const WCHAR* name, WMT_ATTR_DATATYPE type, BYTE* value, DWORD size) override;
    HRESULT STDMETHODCALLTYPE GetPropertyByIndex(DWORD index, WCHAR* name, DWORD* length, WMT_ATTR_DATATYPE* type,
                                                 BYTE* value, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE CopyPropertiesFrom(IWMPropertyVault* vault) override;
    HRESULT STDMETHODCALLTYPE Clear() override;

    // Direct access for the layer itself.
    const MediaType& mediaType() const { return media_; }
    void setMedia(const MediaType& media) { media_ = media; }
    WORD number() const { return number_; }
    DWORD bitrate() const { return bitrate_; }
    const std::u16string& language() const { return language_; }

private:
    virtual ~StreamConfig() = default;
    struct Property {
        std::u16string name;
        WMT_ATTR_DATATYPE type;
        std::vector<BYTE> value;
    };

    GUID streamType_;
    WORD number_ = 0;
    std::u16string name_, connection_, language_;
    DWORD bitrate_ = 0, bufferWindow_ = 0;
    WMT_TRANSPORT_TYPE transport_ = WMT_Transport_Type_Unreliable;
    MediaType media_;
    std::vector<Property> properties_;
};
