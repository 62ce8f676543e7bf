#include "sync_reader.h"

#include <unistd.h>

#include "asf_file_rewrite.h"
#include "media_props.h"
#include "native_path.h"
#include "sample_buffer.h"

SyncReader::~SyncReader() { Close(); }

HRESULT STDMETHODCALLTYPE SyncReader::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWMSyncReader)) {
        *out = static_cast<IWMSyncReader*>(this);
    } else if (IsEqualIID(iid, IID_IWMHeaderInfo) || IsEqualIID(iid, IID_IWMHeaderInfo2) ||
               IsEqualIID(iid, IID_IWMHeaderInfo3)) {
        *out = static_cast<IWMHeaderInfo3*>(this);
    } else if (IsEqualIID(iid, IID_IWMProfile)) {
        // The profile of the open file, as a separate object.
        if (!profile_) return NS_E_INVALID_REQUEST;
        profile_->AddRef();
        *out = static_cast<IWMProfile*>(profile_);
        return S_OK;
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::Open(const WCHAR* filename)
{
    if (!filename) return E_INVALIDARG;
    Close();
    std::string path;
    if (!NativePathFromWide(filename, path)) return NS_E_FILE_NOT_FOUND;
    if (access(path.c_str(), R_OK) != 0) return NS_E_FILE_NOT_FOUND;
    std::vector<uint8_t> bytes;
    AsfHeader header;
    if (!ReadAsfHeaderBytes(path, bytes) || !ParseAsfHeader(bytes.data(), bytes.size(), header)) return NS_E_INVALID_DATA;
    if (!decoder_.open(path)) return NS_E_INVALID_DATA;

    const auto& streams = decoder_.streams();
    bool numbersFromHeader = header.streams.size() == streams.size();
    profile_ = new Profile(WMT_VER_9_0);
    for (size_t i = 0; i < streams.size(); ++i) {
        const AsfStreamInfo& s = streams[i];
        WORD number = numbersFromHeader ? header.streams[i].number : static_cast<WORD>(i + 1);
        numbers_.push_back(number);
        auto* config = new StreamConfig(s.audio ? WMMEDIATYPE_Audio : s.video ? WMMEDIATYPE_Video : WMMEDIATYPE_Script);
        config->SetStreamNumber(number);
        config->SetBitrate(static_cast<DWORD>(s.bitrate > 0 ? s.bitrate : 0));
        if (s.audio)
            config->setMedia(MediaType::Wma(static_cast<WORD>(s.codecTag), s.channels, s.sampleRate,
                                            static_cast<int>(s.bitrate), 0));
        else if (s.video)
            config->setMedia(MediaType::Video());
        profile_->adopt(config);
    }
    if (header.hasDuration) {
        AsfAttribute duration;
        duration.name = u"Duration";
        duration.type = kAsfQword;
        duration.derived = true;
        for (int i = 0; i < 8; ++i) duration.value.push_back(static_cast<uint8_t>(header.duration >> (8 * i)));
        attributes_.push_back(duration);
    }
    attributes_.insert(attributes_.end(), header.attributes.begin(), header.attributes.end());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::Close()
{
    bool wasOpen = decoder_.isOpen();
    decoder_.close();
    if (profile_) profile_->Release();
    profile_ = nullptr;
    numbers_.clear();
    attributes_.clear();
    return wasOpen ? S_OK : NS_E_INVALID_REQUEST;
}

int SyncReader::outputForStream(WORD number) const
{
    for (size_t i = 0; i < numbers_.size(); ++i)
        if (numbers_[i] == number) return static_cast<int>(i);
    return -1;
}

MediaType SyncReader::outputType(int output) const
{
    const AsfStreamInfo& s = decoder_.streams()[output];
    if (s.audio) return MediaType::Pcm(s.channels, s.sampleRate);
    if (s.video) return MediaType::Video();
    return MediaType();
}

HRESULT STDMETHODCALLTYPE SyncReader::SetRange(QWORD start, LONGLONG duration)
{
    if (!decoder_.isOpen()) return NS_E_INVALID_REQUEST;
    if (duration < 0) return E_INVALIDARG;
    return decoder_.setRange(start, static_cast<uint64_t>(duration)) ? S_OK : NS_E_INVALID_REQUEST;
}

HRESULT STDMETHODCALLTYPE SyncReader::GetNextSample(WORD stream, INSSBuffer** sample, QWORD* time, QWORD* duration,
                                                    DWORD* flags, DWORD* output, WORD* streamNumber)
{
    if (!sample) return E_POINTER;
    *sample = nullptr;
    if (!decoder_.isOpen()) return NS_E_INVALID_REQUEST;
    int wanted = -1;
    if (stream != 0) {
        wanted = outputForStream(stream);
        if (wanted < 0 || !decoder_.selected(wanted)) return NS_E_INVALID_REQUEST;
    }
    AsfBlock block;
    do {
        if (!decoder_.next(block)) return NS_E_NO_MORE_SAMPLES;
    } while (wanted >= 0 && block.stream != wanted);  // samples of other streams are passed over
    if (time) *time = block.time;
    if (duration) *duration = block.duration;
    if (flags) *flags = WM_SF_CLEANPOINT;
    if (output) *output = static_cast<DWORD>(block.stream);
    if (streamNumber) *streamNumber = numbers_[block.stream];
    *sample = new SampleBuffer(std::move(block.data));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::SetStreamsSelected(WORD count, WORD* numbers, WMT_STREAM_SELECTION* selections)
{
    if (!count || !numbers || !selections) return E_INVALIDARG;
    if (!decoder_.isOpen()) return NS_E_INVALID_REQUEST;
    for (WORD i = 0; i < count; ++i)
        if (outputForStream(numbers[i]) < 0) return NS_E_INVALID_REQUEST;
    for (WORD i = 0; i < count; ++i) decoder_.setSelected(outputForStream(numbers[i]), selections[i] != WMT_OFF);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::GetStreamSelected(WORD number, WMT_STREAM_SELECTION* selection)
{
    if (!selection) return E_INVALIDARG;
    int index = outputForStream(number);
    if (index < 0) return NS_E_INVALID_REQUEST;
    *selection = decoder_.selected(index) ? WMT_ON : WMT_OFF;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::SetReadStreamSamples(WORD number, BOOL compressed)
{
    int index = outputForStream(number);
    if (index < 0) return NS_E_INVALID_REQUEST;
    decoder_.setCompressed(index, compressed != FALSE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::GetReadStreamSamples(WORD number, BOOL* compressed)
{
    if (!compressed) return E_INVALIDARG;
    int index = outputForStream(number);
    if (index < 0) return NS_E_INVALID_REQUEST;
    *compressed = decoder_.compressed(index);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::GetOutputCount(DWORD* count)
{
    if (!count) return E_INVALIDARG;
    if (!decoder_.isOpen()) return NS_E_INVALID_REQUEST;
    *count = static_cast<DWORD>(numbers_.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::GetOutputProps(DWORD output, IWMOutputMediaProps** props)
{
    if (!props) return E_POINTER;
    if (!decoder_.isOpen()) return NS_E_INVALID_REQUEST;
    if (output >= numbers_.size()) return E_INVALIDARG;
    *props = new OutputMediaProps(outputType(static_cast<int>(output)));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::SetOutputProps(DWORD output, IWMOutputMediaProps* props)
{
    if (!props) return E_POINTER;
    if (!decoder_.isOpen()) return NS_E_INVALID_REQUEST;
    if (output >= numbers_.size()) return E_INVALIDARG;
    // Only the one output format each stream has is accepted.
    DWORD size = 0;
    if (FAILED(props->GetMediaType(nullptr, &size))) return NS_E_INVALID_OUTPUT_FORMAT;
    std::vector<BYTE> buffer(size);
    auto* mt = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data());
    if (FAILED(props->GetMediaType(mt, &size))) return NS_E_INVALID_OUTPUT_FORMAT;
    MediaType own = outputType(static_cast<int>(output));
    const std::vector<BYTE>& f = own.format();
    if (!IsEqualGUID(mt->majortype, own.major()) || mt->cbFormat < f.size() ||
        (f.size() && memcmp(mt->pbFormat, f.data(), f.size() - 2) != 0))
        return NS_E_INVALID_OUTPUT_FORMAT;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::GetOutputFormatCount(DWORD output, DWORD* count)
{
    if (!count) return E_POINTER;
    if (!decoder_.isOpen()) return NS_E_INVALID_REQUEST;
    if (output >= numbers_.size()) return E_INVALIDARG;
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::GetOutputFormat(DWORD output, DWORD format, IWMOutputMediaProps** props)
{
    if (format != 0) return E_INVALIDARG;
    return GetOutputProps(output, props);
}

HRESULT STDMETHODCALLTYPE SyncReader::GetOutputNumberForStream(WORD number, DWORD* output)
{
    if (!output) return E_POINTER;
    int index = outputForStream(number);
    if (index < 0) return NS_E_INVALID_REQUEST;
    *output = static_cast<DWORD>(index);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::GetStreamNumberForOutput(DWORD output, WORD* number)
{
    if (!number) return E_POINTER;
    if (output >= numbers_.size()) return E_INVALIDARG;
    *number = numbers_[output];
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::GetMaxOutputSampleSize(DWORD output, DWORD* size)
{
    if (!size) return E_POINTER;
    if (output >= numbers_.size()) return E_INVALIDARG;
    *size = 65536 * 4;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SyncReader::GetMaxStreamSampleSize(WORD number, DWORD* size)
{
    if (!size) return E_POINTER;
    if (outputForStream(number) < 0) return NS_E_INVALID_REQUEST;
    *size = 65536 * 4;
    return S_OK;
}
