#include "media_type.h"

#include <cstring>

MediaType::MediaType() { std::memset(&type_, 0, sizeof type_); }

HRESULT MediaType::get(WM_MEDIA_TYPE* type, DWORD* size) const
{
    if (!size) return E_POINTER;
    DWORD need = static_cast<DWORD>(sizeof(WM_MEDIA_TYPE) + format_.size());
    if (!type) {
        *size = need;
        return S_OK;
    }
    if (*size < need) {
        *size = need;
        return ASF_E_BUFFERTOOSMALL;
    }
    *type = type_;
    type->pUnk = nullptr;
    type->cbFormat = static_cast<ULONG>(format_.size());
    type->pbFormat = format_.empty() ? nullptr : reinterpret_cast<BYTE*>(type + 1);
    if (!format_.empty()) std::memcpy(type + 1, format_.data(), format_.size());
    *size = need;
    return S_OK;
}

HRESULT MediaType::set(const WM_MEDIA_TYPE* type)
{
    if (!type || (type->cbFormat && !type->pbFormat)) return E_POINTER;
    type_ = *type;
    type_.pUnk = nullptr;
    format_.assign(type->pbFormat, type->pbFormat + type->cbFormat);
    type_.cbFormat = static_cast<ULONG>(format_.size());
    type_.pbFormat = nullptr;
    return S_OK;
}

const WAVEFORMATEX* MediaType::wave() const
{
    if (!IsEqualGUID(type_.formattype, WMFORMAT_WaveFormatEx) || format_.size() < sizeof(WAVEFORMATEX) - 2)
        return nullptr;
    return reinterpret_cast<const WAVEFORMATEX*>(format_.data());
}

MediaType MediaType::Pcm(int channels, int sampleRate)
{
    MediaType m;
    WAVEFORMATEX w{};
    w.wFormatTag = WAVE_FORMAT_PCM;
    w.nChannels = static_cast<WORD>(channels);
    w.nSamplesPerSec = static_cast<DWORD>(sampleRate);
    w.wBitsPerSample = 16;
    w.nBlockAlign = static_cast<WORD>(channels * 2);
    w.nAvgBytesPerSec = w.nSamplesPerSec * w.nBlockAlign;
    w.cbSize = 0;
    m.type_.majortype = WMMEDIATYPE_Audio;
    m.type_.subtype = WMMEDIASUBTYPE_PCM;
    m.type_.bFixedSizeSamples = TRUE;
    m.type_.lSampleSize = w.nBlockAlign;
    m.type_.formattype = WMFORMAT_WaveFormatEx;
    const BYTE* p = reinterpret_cast<const BYTE*>(&w);
    m.format_.assign(p, p + sizeof w);
    m.type_.cbFormat = sizeof w;
    return m;
}

MediaType MediaType::Wma(WORD formatTag, int channels, int sampleRate, int bitrate, int blockAlign)
{
    MediaType m;
    WAVEFORMATEX w{};
    w.wFormatTag = formatTag;
    w.nChannels = static_cast<WORD>(channels);
    w.nSamplesPerSec = static_cast<DWORD>(sampleRate);
    w.nAvgBytesPerSec = static_cast<DWORD>(bitrate / 8);
    w.nBlockAlign = static_cast<WORD>(blockAlign);
    w.wBitsPerSample = 16;
    w.cbSize = 0;
    m.type_.majortype = WMMEDIATYPE_Audio;
    m.type_.subtype = WMMEDIASUBTYPE_Base;
    m.type_.subtype.Data1 = formatTag;  // the wave-format subtypes share the base GUID
    m.type_.bFixedSizeSamples = TRUE;
    m.type_.lSampleSize = static_cast<ULONG>(blockAlign);
    m.type_.formattype = WMFORMAT_WaveFormatEx;
    const BYTE* p = reinterpret_cast<const BYTE*>(&w);
    m.format_.assign(p, p + sizeof w);
    m.type_.cbFormat = sizeof w;
    return m;
}

MediaType MediaType::Video()
{
    MediaType m;
    m.type_.majortype = WMMEDIATYPE_Video;
    m.type_.formattype = GUID_NULL;
    return m;
}

template <class Length>
static HRESULT CopyText(const std::u16string& text, WCHAR* out, Length* length)
{
    if (!length) return E_POINTER;
    Length need = static_cast<Length>(text.size() + 1);
    if (!out) {
        *length = need;
        return S_OK;
    }
    if (*length < need) {
        *length = need;
        return ASF_E_BUFFERTOOSMALL;
    }
    std::memcpy(out, text.data(), text.size() * sizeof(WCHAR));
    out[text.size()] = 0;
    *length = need;
    return S_OK;
}

HRESULT CopyWideText(const std::u16string& text, WCHAR* out, WORD* length) { return CopyText(text, out, length); }
HRESULT CopyWideText(const std::u16string& text, WCHAR* out, DWORD* length) { return CopyText(text, out, length); }
