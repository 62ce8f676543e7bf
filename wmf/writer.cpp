#include "writer.h"

#include "asf_file_rewrite.h"
#include "media_props.h"
#include "native_path.h"
#include "sample_buffer.h"
#include "wma_codecs.h"

HRESULT STDMETHODCALLTYPE Writer::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWMWriter))
        *out = static_cast<IWMWriter*>(this);
    else if (IsEqualIID(iid, IID_IWMHeaderInfo) || IsEqualIID(iid, IID_IWMHeaderInfo2) ||
             IsEqualIID(iid, IID_IWMHeaderInfo3))
        *out = static_cast<IWMHeaderInfo3*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Writer::SetProfile(IWMProfile* profile)
{
    if (!profile) return E_POINTER;
    if (writing_) return NS_E_INVALID_REQUEST;
    DWORD count = 0;
    if (FAILED(profile->GetStreamCount(&count)) || count != 1) return NS_E_INVALID_OUTPUT_FORMAT;
    IWMStreamConfig* stream = nullptr;
    HRESULT hr = profile->GetStream(0, &stream);
    if (FAILED(hr)) return hr;
    StreamConfig* copy = nullptr;
    hr = StreamConfig::CopyFrom(stream, &copy);
    stream->Release();
    if (FAILED(hr)) return hr;
    const WAVEFORMATEX* wave = copy->mediaType().wave();
    AsfEncoderSettings settings;
    hr = NS_E_INVALID_OUTPUT_FORMAT;
    if (IsEqualGUID(copy->mediaType().major(), WMMEDIATYPE_Audio) && wave && WmaCodecForTag(wave->wFormatTag) &&
        wave->nChannels >= 1 && wave->nChannels <= 2 && wave->nSamplesPerSec > 0 && wave->nSamplesPerSec <= 48000) {
        settings.formatTag = wave->wFormatTag;
        settings.channels = wave->nChannels;
        settings.sampleRate = static_cast<int32_t>(wave->nSamplesPerSec);
        settings.bitrate = static_cast<int32_t>(copy->bitrate() ? copy->bitrate() : wave->nAvgBytesPerSec * 8);
        for (char16_t c : copy->language()) settings.language.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        settings_ = settings;
        hr = S_OK;
    }
    copy->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE Writer::SetOutputFilename(const WCHAR* filename)
{
    if (!filename) return E_POINTER;
    if (writing_) return NS_E_INVALID_REQUEST;
    std::string path;
    if (!NativePathFromWide(filename, path)) return E_INVALIDARG;
    path_ = path;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Writer::GetInputCount(DWORD* count)
{
    if (!count) return E_POINTER;
    if (!configured()) return NS_E_NOT_CONFIGURED;
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Writer::GetInputProps(DWORD input, IWMInputMediaProps** props)
{
    if (!props) return E_POINTER;
    if (!configured()) return NS_E_NOT_CONFIGURED;
    if (input != 0) return NS_E_INVALID_INPUT_STREAM;
    *props = new InputMediaProps(MediaType::Pcm(settings_.channels, settings_.sampleRate));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Writer::SetInputProps(DWORD input, IWMInputMediaProps* props)
{
    if (!props) return E_POINTER;
    if (!configured()) return NS_E_NOT_CONFIGURED;
    if (input != 0) return NS_E_INVALID_INPUT_STREAM;
    DWORD size = 0;
    if (FAILED(props->GetMediaType(nullptr, &size))) return NS_E_INVALID_INPUT_FORMAT;
    std::vector<BYTE> buffer(size);
    auto* mt = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data());
    if (FAILED(props->GetMediaType(mt, &size)) || mt->cbFormat < sizeof(WAVEFORMATEX) - 2 || !mt->pbFormat)
        return NS_E_INVALID_INPUT_FORMAT;
    // Only the stream's own rate and channels in 16-bit PCM: the encoder does not resample.
    const auto* w = reinterpret_cast<const WAVEFORMATEX*>(mt->pbFormat);
    if (w->wFormatTag != WAVE_FORMAT_PCM || w->wBitsPerSample != 16 || w->nChannels != settings_.channels ||
        static_cast<int32_t>(w->nSamplesPerSec) != settings_.sampleRate)
        return NS_E_INVALID_INPUT_FORMAT;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Writer::GetInputFormatCount(DWORD input, DWORD* count)
{
    if (!count) return E_POINTER;
    if (!configured()) return NS_E_NOT_CONFIGURED;
    if (input != 0) return NS_E_INVALID_INPUT_STREAM;
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Writer::GetInputFormat(DWORD input, DWORD format, IWMInputMediaProps** props)
{
    if (format != 0) return E_INVALIDARG;
    return GetInputProps(input, props);
}

HRESULT STDMETHODCALLTYPE Writer::BeginWriting()
{
    if (writing_) return NS_E_INVALID_REQUEST;
    if (!configured() || path_.empty()) return NS_E_NOT_CONFIGURED;
    if (!encoder_.open(path_, settings_)) return NS_E_FILE_OPEN_FAILED;
    writing_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Writer::AllocateSample(DWORD size, INSSBuffer** sample)
{
    if (!sample) return E_POINTER;
    *sample = new SampleBuffer(size);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Writer::WriteSample(DWORD input, QWORD, DWORD, INSSBuffer* sample)
{
    if (!sample) return E_POINTER;
    if (!writing_) return NS_E_INVALID_REQUEST;
    if (input != 0) return NS_E_INVALID_INPUT_STREAM;
    BYTE* data = nullptr;
    DWORD length = 0;
    HRESULT hr = sample->GetBufferAndLength(&data, &length);
    if (FAILED(hr)) return hr;
    int32_t frame = settings_.channels * 2;
    // Samples are written back to back; the time stamps only order them.
    if (!encoder_.write(reinterpret_cast<const int16_t*>(data), static_cast<int32_t>(length / frame)))
        return NS_E_FILE_WRITE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Writer::Flush() { return writing_ ? S_OK : NS_E_INVALID_REQUEST; }

HRESULT STDMETHODCALLTYPE Writer::EndWriting()
{
    if (!writing_) return NS_E_INVALID_REQUEST;
    writing_ = false;
    bool ok = encoder_.finish();
    if (ok && !attributes_.empty()) ok = RewriteAsfAttributes(path_, attributes_);
    // The next file starts with a header of its own.
    attributes_.clear();
    return ok ? S_OK : NS_E_FILE_WRITE;
}
