#include "profile_manager.h"

#include <cstring>

#include "header_attributes.h"
#include "profile.h"
#include "wma_codecs.h"

namespace {

const WmaCodec* AudioCodec(REFGUID type, DWORD codec)
{
    if (!IsEqualGUID(type, WMMEDIATYPE_Audio)) return nullptr;
    const auto& codecs = WmaCodecs();
    return codec < codecs.size() ? &codecs[codec] : nullptr;
}

StreamConfig* FormatConfig(const WmaCodec& codec, const WmaFormat& format)
{
    auto* config = new StreamConfig(WMMEDIATYPE_Audio);
    config->setMedia(MediaType::Wma(codec.formatTag, format.channels, format.sampleRate, format.bitrate,
                                    WmaBlockAlign(format)));
    config->SetBitrate(static_cast<DWORD>(format.bitrate));
    config->SetBufferWindow(3000);
    return config;
}

}  // namespace

HRESULT STDMETHODCALLTYPE ProfileManager::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWMProfileManager))
        *out = static_cast<IWMProfileManager*>(this);
    else if (IsEqualIID(iid, IID_IWMCodecInfo) || IsEqualIID(iid, IID_IWMCodecInfo2) ||
             IsEqualIID(iid, IID_IWMCodecInfo3))
        *out = static_cast<IWMCodecInfo3*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ProfileManager::CreateEmptyProfile(WMT_VERSION version, IWMProfile** profile)
{
    if (!profile) return E_POINTER;
    if (version != WMT_VER_4_0 && version != WMT_VER_7_0 && version != WMT_VER_8_0 && version != WMT_VER_9_0)
        return E_INVALIDARG;
    *profile = new Profile(version);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ProfileManager::GetSystemProfileCount(DWORD* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ProfileManager::GetCodecInfoCount(REFGUID type, DWORD* count)
{
    if (!count) return E_POINTER;
    if (IsEqualGUID(type, WMMEDIATYPE_Video)) {
        *count = 0;  // no video encoder here
        return S_OK;
    }
    if (!IsEqualGUID(type, WMMEDIATYPE_Audio)) return E_INVALIDARG;
    *count = static_cast<DWORD>(WmaCodecs().size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ProfileManager::GetCodecFormatCount(REFGUID type, DWORD codec, DWORD* count)
{
    if (!count) return E_POINTER;
    const WmaCodec* c = AudioCodec(type, codec);
    if (!c) return E_INVALIDARG;
    *count = static_cast<DWORD>(c->cbrFormats.size());  // no variable-bitrate enumeration exists
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ProfileManager::GetCodecFormat(REFGUID type, DWORD codec, DWORD format,
                                                         IWMStreamConfig** config)
{
    if (!config) return E_POINTER;
    const WmaCodec* c = AudioCodec(type, codec);
    if (!c || format >= c->cbrFormats.size()) return E_INVALIDARG;
    *config = static_cast<IWMStreamConfig3*>(FormatConfig(*c, c->cbrFormats[format]));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ProfileManager::GetCodecName(REFGUID type, DWORD codec, WCHAR* name, DWORD* length)
{
    const WmaCodec* c = AudioCodec(type, codec);
    if (!c) return E_INVALIDARG;
    return CopyWideText(c->name, name, length);
}

HRESULT STDMETHODCALLTYPE ProfileManager::GetCodecFormatDesc(REFGUID type, DWORD codec, DWORD format,
                                                             IWMStreamConfig** config, WCHAR* description,
                                                             DWORD* length)
{
    const WmaCodec* c = AudioCodec(type, codec);
    if (!c || format >= c->cbrFormats.size()) return E_INVALIDARG;
    HRESULT hr = CopyWideText(WmaFormatDescription(c->cbrFormats[format]), description, length);
    if (SUCCEEDED(hr) && config) *config = static_cast<IWMStreamConfig3*>(FormatConfig(*c, c->cbrFormats[format]));
    return hr;
}

HRESULT STDMETHODCALLTYPE ProfileManager::GetCodecFormatProp(REFGUID type, DWORD codec, DWORD format, const WCHAR*,
                                                             WMT_ATTR_DATATYPE*, BYTE*, DWORD*)
{
    const WmaCodec* c = AudioCodec(type, codec);
    if (!c || format >= c->cbrFormats.size()) return E_INVALIDARG;
    return NS_E_UNSUPPORTED_PROPERTY;
}

HRESULT STDMETHODCALLTYPE ProfileManager::GetCodecProp(REFGUID type, DWORD codec, const WCHAR* name,
                                                       WMT_ATTR_DATATYPE* valueType, BYTE* value, DWORD* size)
{
    if (!AudioCodec(type, codec)) return E_INVALIDARG;
    if (!name || !valueType || !size) return E_POINTER;
    if (WideName(name) != u"_VBRENABLED") return NS_E_UNSUPPORTED_PROPERTY;
    *valueType = WMT_TYPE_BOOL;  // the codec has no variable bit rate
    if (value) {
        if (*size < sizeof(BOOL)) return ASF_E_BUFFERTOOSMALL;
        BOOL no = FALSE;
        std::memcpy(value, &no, sizeof no);
    }
    *size = sizeof(BOOL);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ProfileManager::SetCodecEnumerationSetting(REFGUID type, DWORD codec, const WCHAR* name,
                                                                     WMT_ATTR_DATATYPE, const BYTE*, DWORD)
{
    if (!AudioCodec(type, codec)) return E_INVALIDARG;
    if (!name) return E_POINTER;
    // Neither FFmpeg WMA encoder has a variable bit rate, so no enumeration setting exists:
    // "_VBRENABLED" and "_PASSESUSED" are refused whatever their value.
    return NS_E_UNSUPPORTED_PROPERTY;
}

HRESULT STDMETHODCALLTYPE ProfileManager::GetCodecEnumerationSetting(REFGUID type, DWORD codec, const WCHAR* name,
                                                                     WMT_ATTR_DATATYPE*, BYTE*, DWORD*)
{
    if (!AudioCodec(type, codec)) return E_INVALIDARG;
    if (!name) return E_POINTER;
    return NS_E_UNSUPPORTED_PROPERTY;
}
