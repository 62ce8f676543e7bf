#include "stream_config.h"

#include <cstring>

#include "header_attributes.h"

StreamConfig::StreamConfig(const GUID& streamType) : streamType_(streamType) {}

HRESULT StreamConfig::CopyFrom(IWMStreamConfig* from, StreamConfig** out)
{
    if (!from || !out) return E_POINTER;
    GUID type;
    HRESULT hr = from->GetStreamType(&type);
    if (FAILED(hr)) return hr;
    StreamConfig* copy = new StreamConfig(type);
    from->GetStreamNumber(&copy->number_);
    from->GetBitrate(&copy->bitrate_);
    from->GetBufferWindow(&copy->bufferWindow_);
    WCHAR text[512];
    WORD len = 512;
    if (SUCCEEDED(from->GetStreamName(text, &len))) copy->name_ = WideName(text);
    len = 512;
    if (SUCCEEDED(from->GetConnectionName(text, &len))) copy->connection_ = WideName(text);
    IWMStreamConfig3* v3 = nullptr;
    if (SUCCEEDED(from->QueryInterface(IID_IWMStreamConfig3, reinterpret_cast<void**>(&v3)))) {
        len = 512;
        if (SUCCEEDED(v3->GetLanguage(text, &len))) copy->language_ = WideName(text);
        v3->Release();
    }
    IWMMediaProps* props = nullptr;
    hr = from->QueryInterface(IID_IWMMediaProps, reinterpret_cast<void**>(&props));
    if (SUCCEEDED(hr)) {
        DWORD size = 0;
        hr = props->GetMediaType(nullptr, &size);
        if (SUCCEEDED(hr)) {
            std::vector<BYTE> buffer(size);
            auto* mt = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data());
            hr = props->GetMediaType(mt, &size);
            if (SUCCEEDED(hr)) hr = copy->media_.set(mt);
        }
        props->Release();
    }
    IWMPropertyVault* vault = nullptr;
    if (SUCCEEDED(hr) && SUCCEEDED(from->QueryInterface(IID_IWMPropertyVault, reinterpret_cast<void**>(&vault)))) {
        copy->CopyPropertiesFrom(vault);
        vault->Release();
    }
    if (FAILED(hr)) {
        copy->Release();
        return hr;
    }
    *out = copy;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWMStreamConfig) ||
        IsEqualIID(iid, IID_IWMStreamConfig2) || IsEqualIID(iid, IID_IWMStreamConfig3))
        *out = static_cast<IWMStreamConfig3*>(this);
    else if (IsEqualIID(iid, IID_IWMMediaProps))
        *out = static_cast<IWMMediaProps*>(this);
    else if (IsEqualIID(iid, IID_IWMPropertyVault))
        *out = static_cast<IWMPropertyVault*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetStreamType(GUID* type)
{
    if (!type) return E_POINTER;
    *type = streamType_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetStreamNumber(WORD* number)
{
    if (!number) return E_POINTER;
    *number = number_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::SetStreamNumber(WORD number)
{
    if (number < 1 || number > 63) return NS_E_INVALID_STREAM;
    number_ = number;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetStreamName(WCHAR* name, WORD* length) { return CopyWideText(name_, name, length); }

HRESULT STDMETHODCALLTYPE StreamConfig::SetStreamName(LPCWSTR_WMSDK_TYPE_SAFE name)
{
    name_ = WideName(name);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetConnectionName(WCHAR* name, WORD* length)
{
    return CopyWideText(connection_, name, length);
}

HRESULT STDMETHODCALLTYPE StreamConfig::SetConnectionName(LPCWSTR_WMSDK_TYPE_SAFE name)
{
    connection_ = WideName(name);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetBitrate(DWORD* bitrate)
{
    if (!bitrate) return E_POINTER;
    *bitrate = bitrate_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::SetBitrate(DWORD bitrate)
{
    bitrate_ = bitrate;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetBufferWindow(DWORD* window)
{
    if (!window) return E_POINTER;
    *window = bufferWindow_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::SetBufferWindow(DWORD window)
{
    bufferWindow_ = window;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetTransportType(WMT_TRANSPORT_TYPE* type)
{
    if (!type) return E_POINTER;
    *type = transport_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::SetTransportType(WMT_TRANSPORT_TYPE type)
{
    transport_ = type;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetDataUnitExtensionCount(WORD* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetLanguage(WCHAR* language, WORD* length)
{
    return CopyWideText(language_, language, length);
}

HRESULT STDMETHODCALLTYPE StreamConfig::SetLanguage(LPWSTR language)
{
    language_ = WideName(language);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetType(GUID* type)
{
    if (!type) return E_POINTER;
    *type = media_.major();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) { return media_.get(type, size); }

HRESULT STDMETHODCALLTYPE StreamConfig::SetMediaType(WM_MEDIA_TYPE* type)
{
    if (type && !IsEqualGUID(type->majortype, streamType_)) return NS_E_INVALID_INPUT_FORMAT;
    return media_.set(type);
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetPropertyCount(DWORD* count)
{
    if (!count) return E_POINTER;
    *count = static_cast<DWORD>(properties_.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetPropertyByName(const WCHAR* name, WMT_ATTR_DATATYPE* type, BYTE* value,
                                                          DWORD* size)
{
    if (!name || !type || !size) return E_POINTER;
    std::u16string wanted = WideName(name);
    for (const Property& p : properties_) {
        if (p.name != wanted) continue;
        *type = p.type;
        DWORD need = static_cast<DWORD>(p.value.size());
        if (value && *size < need) {
            *size = need;
            return ASF_E_BUFFERTOOSMALL;
        }
        if (value && need) std::memcpy(value, p.value.data(), need);
        *size = need;
        return S_OK;
    }
    return NS_E_UNSUPPORTED_PROPERTY;
}

HRESULT STDMETHODCALLTYPE StreamConfig::SetProperty(const WCHAR* name, WMT_ATTR_DATATYPE type, BYTE* value, DWORD size)
{
    if (!name || (size && !value)) return E_POINTER;
    std::u16string key = WideName(name);
    for (Property& p : properties_) {
        if (p.name != key) continue;
        p.type = type;
        p.value.assign(value, value + size);
        return S_OK;
    }
    properties_.push_back({key, type, std::vector<BYTE>(value, value + size)});
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::GetPropertyByIndex(DWORD index, WCHAR* name, DWORD* length,
                                                           WMT_ATTR_DATATYPE* type, BYTE* value, DWORD* size)
{
    if (index >= properties_.size()) return E_INVALIDARG;
    if (!type || !size) return E_POINTER;
    const Property& p = properties_[index];
    if (length) {
        HRESULT hr = CopyWideText(p.name, name, length);
        if (FAILED(hr)) return hr;
    }
    return GetPropertyByName(reinterpret_cast<const WCHAR*>(p.name.c_str()), type, value, size);
}

HRESULT STDMETHODCALLTYPE StreamConfig::CopyPropertiesFrom(IWMPropertyVault* vault)
{
    if (!vault) return E_POINTER;
    DWORD count = 0;
    if (FAILED(vault->GetPropertyCount(&count))) return E_FAIL;
    for (DWORD i = 0; i < count; ++i) {
        WCHAR name[256];
        DWORD nameLen = 256, size = 0;
        WMT_ATTR_DATATYPE type;
        if (FAILED(vault->GetPropertyByIndex(i, name, &nameLen, &type, nullptr, &size))) continue;
        std::vector<BYTE> value(size ? size : 1);
        if (SUCCEEDED(vault->GetPropertyByIndex(i, name, &nameLen, &type, value.data(), &size)))
            SetProperty(name, type, value.data(), size);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamConfig::Clear()
{
    properties_.clear();
    return S_OK;
}
