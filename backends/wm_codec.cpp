#include "wm_codec.h"

#include <cstring>
#include <mlang.h>

#include "pcm_resampler.h"
#include "wm_text.h"

extern "C" {
#include <libavutil/mem.h>
}

// IWMStreamConfig3 is missing from Wine's headers; only SetLanguage is called here. Declared
// outside the unnamed namespace so that the compiler cannot assume nothing implements it.
struct WmStreamConfig3Interface : public IWMStreamConfig {
    virtual HRESULT STDMETHODCALLTYPE GetTransportType(int*) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTransportType(int) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddDataUnitExtension(GUID, WORD, BYTE*, DWORD) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDataUnitExtensionCount(WORD*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDataUnitExtension(WORD, GUID*, WORD*, BYTE*, DWORD*) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAllDataUnitExtensions() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLanguage(WCHAR*, WORD*) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLanguage(LPWSTR) = 0;
};

namespace {

const IID kIidStreamConfig3 = {0xcb164104, 0x3aa9, 0x45a7, {0x9a, 0xc9, 0x4d, 0xae, 0xe1, 0x31, 0xd6, 0xe1}};
const GUID kAudio = {0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
const HRESULT kNotFound = static_cast<HRESULT>(0xC00D07F0);
const HRESULT kPropertyNotSupported = static_cast<HRESULT>(0xC00D0BCD);

const WCHAR* const kTagNames[5] = {L"Title", L"Author", L"Copyright", L"Description", L"WM/AlbumTitle"};

template <class T>
void ReleaseAndClear(T*& p)
{
    if (p) p->Release();
    p = nullptr;
}

const WCHAR* W(const std::u16string& s) { return reinterpret_cast<const WCHAR*>(s.c_str()); }

std::string AnsiFromWide(const WCHAR* text)
{
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(static_cast<size_t>(size - 1));
    return out;
}

HRESULT ObtainCodecInfo(IWMCodecInfo3** info)
{
    IWMProfileManager* manager = nullptr;
    HRESULT hr = WMCreateProfileManager(&manager);
    if (FAILED(hr)) return hr;
    hr = manager->QueryInterface(IID_IWMCodecInfo3, reinterpret_cast<void**>(info));
    manager->Release();
    return hr;
}

HRESULT SetEnumerationMode(IWMCodecInfo3* info, DWORD codec, BOOL vbr, DWORD passes)
{
    HRESULT hr = info->SetCodecEnumerationSetting(kAudio, codec, L"_VBRENABLED", WMT_TYPE_BOOL,
                                                  reinterpret_cast<const BYTE*>(&vbr), 4);
    if (hr == kPropertyNotSupported && !vbr) return S_OK;
    if (SUCCEEDED(hr) && vbr)
        hr = info->SetCodecEnumerationSetting(kAudio, codec, L"_PASSESUSED", WMT_TYPE_DWORD,
                                              reinterpret_cast<const BYTE*>(&passes), 4);
    return hr;
}

void AppendDescriptions(IWMCodecInfo3* info, DWORD codec, std::vector<std::string>& list)
{
    DWORD count = 0;
    if (FAILED(info->GetCodecFormatCount(kAudio, codec, &count))) return;
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = 0;
        if (FAILED(info->GetCodecFormatDesc(kAudio, codec, i, nullptr, nullptr, &length))) continue;
        std::vector<WCHAR> text(length + 1, 0);
        if (FAILED(info->GetCodecFormatDesc(kAudio, codec, i, nullptr, text.data(), &length))) continue;
        list.push_back(AnsiFromWide(text.data()));
    }
}

HRESULT FetchMediaType(IWMStreamConfig* config, std::vector<BYTE>& buffer)
{
    IWMMediaProps* props = nullptr;
    HRESULT hr = config->QueryInterface(IID_IWMMediaProps, reinterpret_cast<void**>(&props));
    if (FAILED(hr)) return hr;
    DWORD size = 0;
    hr = props->GetMediaType(nullptr, &size);
    if (SUCCEEDED(hr)) {
        buffer.assign(size, 0);
        hr = props->GetMediaType(reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data()), &size);
    }
    props->Release();
    return hr;
}

void SetStreamLanguage(IWMStreamConfig* stream)
{
    IMultiLanguage* ml = nullptr;
    if (FAILED(CoCreateInstance(CLSID_CMultiLanguage, nullptr, CLSCTX_INPROC_SERVER, IID_IMultiLanguage,
                                reinterpret_cast<void**>(&ml))))
        return;
    BSTR tag = nullptr;
    if (SUCCEEDED(ml->GetRfc1766FromLcid(GetSystemDefaultLCID(), &tag)) && tag) {
        WmStreamConfig3Interface* v3 = nullptr;
        if (SUCCEEDED(stream->QueryInterface(kIidStreamConfig3, reinterpret_cast<void**>(&v3)))) {
            v3->SetLanguage(tag);
            v3->Release();
        }
        SysFreeString(tag);
    }
    ml->Release();
}

}  // namespace

WindowsMediaBackend* CreateWmCodec() { return new WmCodec(); }

WmCodec::~WmCodec()
{
    if (comStarted_) CoUninitialize();
    ReleaseAndClear(profile_);
    ReleaseAndClear(writer_);
    ReleaseAndClear(headerInfo_);
    ReleaseAndClear(currentSample_);
    ReleaseAndClear(reader_);
    av_freep(&pcmBuffer_);
    formatList_.clear();
}

void WmCodec::ensureCom()
{
    // Every call may be the first on its thread; one CoUninitialize comes from the destructor.
    CoInitialize(nullptr);
    comStarted_ = true;
}

bool WmCodec::initialize()
{
    if (initialized_) return true;
    ensureCom();
    if (!reader_) WMCreateSyncReader(nullptr, 0, &reader_);
    if (!writer_ && FAILED(WMCreateWriter(nullptr, &writer_))) {
        writer_ = nullptr;
        return false;
    }
    initialized_ = true;
    return true;
}

int32_t WmCodec::sourceChannels() const
{
    if (sourceFormat_.size() < 4) return 0;
    return reinterpret_cast<const WAVEFORMATEX*>(sourceFormat_.data())->nChannels;
}

int32_t WmCodec::sourceSampleRate() const
{
    if (sourceFormat_.size() < 8) return 0;
    return static_cast<int32_t>(reinterpret_cast<const WAVEFORMATEX*>(sourceFormat_.data())->nSamplesPerSec);
}

HRESULT WmCodec::lookupAttribute(const WCHAR* name, std::vector<BYTE>& value, WMT_ATTR_DATATYPE& type, bool& found)
{
    found = false;
    if (!headerInfo_) return E_UNEXPECTED;
    if (!name) return E_INVALIDARG;
    WORD stream = 0, length = 0;
    HRESULT hr = headerInfo_->GetAttributeByName(&stream, name, &type, nullptr, &length);
    if (hr == kNotFound) return S_OK;
    if (FAILED(hr)) return hr;
    value.assign(length, 0);
    hr = headerInfo_->GetAttributeByName(&stream, name, &type, value.data(), &length);
    if (FAILED(hr)) return hr;
    value.resize(length);
    found = true;
    return S_OK;
}

// Every audio stream overwrites the choice, so the last one of the profile wins.
HRESULT WmCodec::findAudioStream(IWMProfile* fileProfile)
{
    audioStreamNumber_ = 0;
    DWORD count = 0;
    HRESULT hr = fileProfile->GetStreamCount(&count);
    for (DWORD i = 0; SUCCEEDED(hr) && i < count; ++i) {
        IWMStreamConfig* config = nullptr;
        hr = fileProfile->GetStream(i, &config);
        if (FAILED(hr)) break;
        WORD number = 0;
        GUID type;
        hr = config->GetStreamNumber(&number);
        if (SUCCEEDED(hr)) hr = config->GetStreamType(&type);
        if (SUCCEEDED(hr) && IsEqualGUID(type, kAudio)) audioStreamNumber_ = number;
        config->Release();
    }
    return hr;
}

// The format of the output that carries the chosen stream (the first audio output when the
// runtime cannot say which one that is).
HRESULT WmCodec::copyAudioOutputFormat()
{
    DWORD wanted = MAXDWORD;
    if (audioStreamNumber_ == 0 || FAILED(reader_->GetOutputNumberForStream(audioStreamNumber_, &wanted)))
        wanted = MAXDWORD;
    DWORD outputs = 0;
    HRESULT hr = reader_->GetOutputCount(&outputs);
    if (FAILED(hr)) return hr;
    for (DWORD i = 0; i < outputs; ++i) {
        if (wanted != MAXDWORD && i != wanted) continue;
        IWMOutputMediaProps* props = nullptr;
        hr = reader_->GetOutputProps(i, &props);
        if (FAILED(hr)) return hr;
        DWORD size = 0;
        hr = props->GetMediaType(nullptr, &size);
        std::vector<BYTE> buffer;
        if (SUCCEEDED(hr)) {
            buffer.assign(size, 0);
            hr = props->GetMediaType(reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data()), &size);
        }
        props->Release();
        if (FAILED(hr)) return hr;
        const auto* type = reinterpret_cast<const WM_MEDIA_TYPE*>(buffer.data());
        if (!IsEqualGUID(type->majortype, kAudio)) continue;
        if (!type->pbFormat || type->cbFormat < sizeof(WAVEFORMATEX) - 2) return E_UNEXPECTED;
        sourceFormat_.assign(type->pbFormat, type->pbFormat + type->cbFormat);
        return S_OK;
    }
    return E_UNEXPECTED;
}

bool WmCodec::openSource(const char* path)
{
    ensureCom();
    if (!reader_ || !path) return false;
    std::u16string wide = WidePath(path);
    if (FAILED(reader_->Open(W(wide)))) return false;

    IWMProfile* fileProfile = nullptr;
    HRESULT hr = reader_->QueryInterface(IID_IWMProfile, reinterpret_cast<void**>(&fileProfile));
    if (SUCCEEDED(hr)) {
        ReleaseAndClear(headerInfo_);
        hr = reader_->QueryInterface(IID_IWMHeaderInfo, reinterpret_cast<void**>(&headerInfo_));
    }
    if (SUCCEEDED(hr)) hr = findAudioStream(fileProfile);
    if (SUCCEEDED(hr)) {
        std::vector<BYTE> value;
        WMT_ATTR_DATATYPE type;
        bool found = false;
        HRESULT lookup = lookupAttribute(L"Duration", value, type, found);
        if (SUCCEEDED(lookup)) {
            duration_ = 0;
            if (found && value.size() >= 8) std::memcpy(&duration_, value.data(), 8);
        }
        sourceFormat_.clear();
        hr = copyAudioOutputFormat();
    }
    if (SUCCEEDED(hr)) {
        hr = selectOnlyAudioStream(fileProfile);
    }
    if (SUCCEEDED(hr)) hr = reader_->SetReadStreamSamples(audioStreamNumber_, FALSE);
    ReleaseAndClear(fileProfile);
    if (FAILED(hr)) {
        reader_->Close();  // a failed open leaves nothing open
        sourceFormat_.clear();
        return false;
    }
    bytesLeft_ = 0;
    stopRequested_ = 0;
    readPointer_ = nullptr;
    return true;
}

// The chosen stream on and every other stream off, so that no other stream's samples mix in.
HRESULT WmCodec::selectOnlyAudioStream(IWMProfile* fileProfile)
{
    std::vector<WORD> numbers{audioStreamNumber_};
    std::vector<WMT_STREAM_SELECTION> states{WMT_ON};
    DWORD count = 0;
    if (SUCCEEDED(fileProfile->GetStreamCount(&count)))
        for (DWORD i = 0; i < count; ++i) {
            IWMStreamConfig* config = nullptr;
            if (FAILED(fileProfile->GetStream(i, &config))) continue;
            WORD number = 0;
            if (SUCCEEDED(config->GetStreamNumber(&number)) && number != audioStreamNumber_) {
                numbers.push_back(number);
                states.push_back(WMT_OFF);
            }
            config->Release();
        }
    return reader_->SetStreamsSelected(static_cast<WORD>(numbers.size()), numbers.data(), states.data());
}

int32_t WmCodec::readPcm(uint8_t* dst, int32_t length, bool resample, PcmResampler* resampler, int32_t outChannels)
{
    if (!dst || length <= 0 || !reader_) return -100;
    int32_t copied = 0;
    if (bytesLeft_ > 0 && readPointer_) {
        int32_t n = bytesLeft_ < length ? bytesLeft_ : length;
        std::memcpy(dst, readPointer_, static_cast<size_t>(n));
        readPointer_ += n;
        bytesLeft_ -= n;
        copied = n;
    }
    while (copied < length) {
        if (stopRequested_) return -7;
        ReleaseAndClear(currentSample_);
        QWORD time = 0, sampleDuration = 0;
        DWORD flags = 0, output = 0;
        WORD stream = 0;
        if (FAILED(reader_->GetNextSample(0, &currentSample_, &time, &sampleDuration, &flags, &output, &stream))) {
            currentSample_ = nullptr;
            // The last, partial block of the file is still delivered.
            return copied > 0 ? copied : -100;
        }
        BYTE* data = nullptr;
        DWORD size = 0;
        if (FAILED(currentSample_->GetBufferAndLength(&data, &size))) return copied > 0 ? copied : -100;
        int32_t inChannels = sourceChannels();
        if (resample && resampler && resampler->isOpen() && inChannels > 0 && resampler->inRate() > 0) {
            int32_t inSamples = static_cast<int32_t>(size / static_cast<DWORD>(inChannels) / 2);
            // Room for every sample the rate change can make, plus what the resampler holds back.
            int64_t outSamples = static_cast<int64_t>(inSamples) * resampler->outRate() / resampler->inRate() + 256;
            size_t need = static_cast<size_t>(outSamples) * static_cast<size_t>(outChannels) * 2;
            if (need > pcmCapacity_) {
                av_freep(&pcmBuffer_);
                pcmBuffer_ = static_cast<uint8_t*>(av_malloc(need));
                pcmCapacity_ = pcmBuffer_ ? need : 0;
                if (!pcmBuffer_) return -100;
            }
            int32_t got = resampler->resample(reinterpret_cast<int16_t*>(pcmBuffer_), static_cast<int32_t>(outSamples),
                                              reinterpret_cast<const int16_t*>(data), inSamples);
            bytesLeft_ = got > 0 ? got * outChannels * 2 : 0;
        } else {
            if (size > pcmCapacity_) {
                av_freep(&pcmBuffer_);
                pcmBuffer_ = static_cast<uint8_t*>(av_malloc(size));
                pcmCapacity_ = pcmBuffer_ ? size : 0;
                if (!pcmBuffer_) return -100;
            }
            if (size) std::memcpy(pcmBuffer_, data, size);
            bytesLeft_ = static_cast<int32_t>(size);
        }
        readPointer_ = pcmBuffer_;
        int32_t want = length - copied;
        int32_t n = bytesLeft_ < want ? bytesLeft_ : want;
        if (n > 0) std::memcpy(dst + copied, readPointer_, static_cast<size_t>(n));
        readPointer_ += n;
        bytesLeft_ -= n;
        copied += n;
    }
    return length;
}

bool WmCodec::seekSource(int64_t startUs)
{
    if (!reader_ || startUs < 0) return false;
    return reader_->SetRange(static_cast<QWORD>(startUs) * 10, 0) >= 0;
}

void WmCodec::closeSource()
{
    ReleaseAndClear(currentSample_);
    if (reader_) {
        reader_->Close();
        ReleaseAndClear(profile_);
        ReleaseAndClear(headerInfo_);
    }
    sourceFormat_.clear();
    av_freep(&pcmBuffer_);
    pcmCapacity_ = 0;
    readPointer_ = nullptr;
    bytesLeft_ = 0;
}

int32_t WmCodec::listCodecs(std::vector<std::string>& list)
{
    IWMCodecInfo3* info = nullptr;
    if (FAILED(ObtainCodecInfo(&info))) return static_cast<int32_t>(list.size());
    DWORD count = 0;
    if (SUCCEEDED(info->GetCodecInfoCount(kAudio, &count))) {
        for (DWORD i = 0; i < count; ++i) {
            DWORD length = 0;
            if (FAILED(info->GetCodecName(kAudio, i, nullptr, &length))) continue;
            std::vector<WCHAR> name(length + 1, 0);
            if (FAILED(info->GetCodecName(kAudio, i, name.data(), &length))) continue;
            name[length < name.size() ? length : name.size() - 1] = 0;
            list.push_back(AnsiFromWide(name.data()));
        }
    }
    info->Release();
    return static_cast<int32_t>(list.size());
}

int32_t WmCodec::listFormats(int32_t codecIndex, std::vector<std::string>& list)
{
    IWMCodecInfo3* info = nullptr;
    if (codecIndex < 0 || FAILED(ObtainCodecInfo(&info))) return static_cast<int32_t>(list.size());
    DWORD codec = static_cast<DWORD>(codecIndex);
    if (SUCCEEDED(SetEnumerationMode(info, codec, FALSE, 0))) AppendDescriptions(info, codec, list);
    // A codec that refuses variable bit rate adds nothing more (not its constant formats twice).
    if (SUCCEEDED(SetEnumerationMode(info, codec, TRUE, 1))) AppendDescriptions(info, codec, list);
    info->Release();
    return static_cast<int32_t>(list.size());
}

void WmCodec::buildFormatList(int32_t codecIndex)
{
    formatList_.clear();
    IWMCodecInfo3* info = nullptr;
    if (codecIndex < 0 || FAILED(ObtainCodecInfo(&info))) return;
    DWORD codec = static_cast<DWORD>(codecIndex);
    DWORD count = 0;
    if (SUCCEEDED(SetEnumerationMode(info, codec, FALSE, 0)) && SUCCEEDED(info->GetCodecFormatCount(kAudio, codec, &count)))
        for (DWORD i = 0; i < count; ++i) formatList_.push_back({static_cast<int32_t>(i), 0, 1});
    count = 0;
    if (SUCCEEDED(SetEnumerationMode(info, codec, TRUE, 1)) && SUCCEEDED(info->GetCodecFormatCount(kAudio, codec, &count)))
        for (DWORD i = 0; i < count; ++i) formatList_.push_back({static_cast<int32_t>(i), 1, 1});
    info->Release();
}

HRESULT WmCodec::createStream(int32_t codecIndex, const WmFormatEntry& entry, IWMStreamConfig** stream)
{
    IWMStreamConfig* created = nullptr;
    HRESULT hr = profile_->CreateNewStream(kAudio, &created);
    if (FAILED(hr)) return hr;
    IWMCodecInfo3* info = nullptr;
    IWMStreamConfig* format = nullptr;
    std::vector<BYTE> mediaType;
    hr = ObtainCodecInfo(&info);
    if (SUCCEEDED(hr)) hr = SetEnumerationMode(info, static_cast<DWORD>(codecIndex), entry.vbr, static_cast<DWORD>(entry.passes));
    if (SUCCEEDED(hr)) hr = info->GetCodecFormat(kAudio, static_cast<DWORD>(codecIndex), static_cast<DWORD>(entry.formatIndex), &format);
    if (SUCCEEDED(hr)) hr = FetchMediaType(format, mediaType);
    if (SUCCEEDED(hr)) {
        DWORD bitrate = 0;
        hr = format->GetBitrate(&bitrate);
        if (SUCCEEDED(hr)) hr = created->SetBitrate(bitrate);
        if (SUCCEEDED(hr)) hr = created->SetBufferWindow(3000);
    }
    if (SUCCEEDED(hr)) {
        IWMMediaProps* props = nullptr;
        hr = created->QueryInterface(IID_IWMMediaProps, reinterpret_cast<void**>(&props));
        if (SUCCEEDED(hr)) {
            hr = props->SetMediaType(reinterpret_cast<WM_MEDIA_TYPE*>(mediaType.data()));
            props->Release();
        }
    }
    if (SUCCEEDED(hr)) {
        IWMPropertyVault* vault = nullptr;
        if (SUCCEEDED(created->QueryInterface(IID_IWMPropertyVault, reinterpret_cast<void**>(&vault)))) {
            BOOL vbr = entry.vbr;
            vault->SetProperty(L"_VBRENABLED", WMT_TYPE_BOOL, reinterpret_cast<BYTE*>(&vbr), 4);
            vault->Release();
        }
        // The language tag is a courtesy: a missing multi-language service does not stop the output.
        SetStreamLanguage(created);
    }
    ReleaseAndClear(format);
    ReleaseAndClear(info);
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    *stream = created;
    return S_OK;
}

HRESULT WmCodec::buildProfile(int32_t codecIndex, int32_t qualityIndex)
{
    ReleaseAndClear(profile_);
    if (qualityIndex < 0 || static_cast<size_t>(qualityIndex) >= formatList_.size()) return E_INVALIDARG;
    IWMProfileManager* manager = nullptr;
    HRESULT hr = WMCreateProfileManager(&manager);
    if (FAILED(hr)) return hr;
    hr = manager->CreateEmptyProfile(WMT_VER_9_0, &profile_);
    manager->Release();
    if (FAILED(hr)) {
        profile_ = nullptr;
        return hr;
    }
    IWMStreamConfig* stream = nullptr;
    hr = createStream(codecIndex, formatList_[static_cast<size_t>(qualityIndex)], &stream);
    if (FAILED(hr)) return hr;
    hr = profile_->AddStream(stream);
    stream->Release();
    return hr;
}

bool WmCodec::openSink(const char* path, int32_t codecIndex, int32_t qualityIndex)
{
    ensureCom();
    if (!writer_ || !path) return false;
    ReleaseAndClear(headerInfo_);
    writer_->QueryInterface(IID_IWMHeaderInfo, reinterpret_cast<void**>(&headerInfo_));
    buildFormatList(codecIndex);
    // An index the codec does not offer (an empty list gives -1) cannot make an output.
    if (qualityIndex < 0 || static_cast<size_t>(qualityIndex) >= formatList_.size()) return false;
    if (FAILED(buildProfile(codecIndex, qualityIndex))) return false;
    std::u16string wide = WidePath(path);
    if (FAILED(writer_->SetProfile(profile_)) || FAILED(writer_->SetOutputFilename(W(wide)))) return false;

    const WmFormatEntry& entry = formatList_[static_cast<size_t>(qualityIndex)];
    IWMCodecInfo3* info = nullptr;
    IWMStreamConfig* format = nullptr;
    IWMMediaProps* props = nullptr;
    HRESULT hr = ObtainCodecInfo(&info);
    if (SUCCEEDED(hr)) hr = SetEnumerationMode(info, static_cast<DWORD>(codecIndex), entry.vbr, static_cast<DWORD>(entry.passes));
    if (SUCCEEDED(hr)) hr = info->GetCodecFormat(kAudio, static_cast<DWORD>(codecIndex), static_cast<DWORD>(entry.formatIndex), &format);
    if (SUCCEEDED(hr)) {
        DWORD bitrate = 0;
        format->GetBitrate(&bitrate);
        sinkBitrate_ = static_cast<int32_t>(bitrate);
        hr = format->QueryInterface(IID_IWMMediaProps, reinterpret_cast<void**>(&props));
    }
    bool ok = false;
    if (SUCCEEDED(hr)) {
        std::vector<BYTE> buffer(1000, 0);
        DWORD size = 1000;
        auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data());
        if (SUCCEEDED(props->GetMediaType(type, &size)) && type->pbFormat && type->cbFormat >= sizeof(WAVEFORMATEX) - 2) {
            const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
            sinkSampleRate_ = static_cast<int32_t>(wave->nSamplesPerSec);
            sinkChannels_ = wave->nChannels;
            ok = sinkSampleRate_ > 0 && sinkChannels_ > 0;
        }
    }
    ReleaseAndClear(props);
    ReleaseAndClear(format);
    ReleaseAndClear(info);
    return ok;
}

void WmCodec::writeHeaderTags(const MediaInfo& info)
{
    if (!headerInfo_) return;
    IWMHeaderInfo3* header = nullptr;
    if (FAILED(headerInfo_->QueryInterface(IID_IWMHeaderInfo3, reinterpret_cast<void**>(&header)))) return;
    const char* fields[5] = {info.title, info.artist, info.copyright, info.comment, info.album};
    for (int i = 0; i < 5; ++i) {
        std::u16string text = WideFromAnsi(fields[i]);
        WORD index = 0;
        header->AddAttribute(0, kTagNames[i], &index, WMT_TYPE_STRING, 0, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() * 2));
    }
    header->Release();
}

bool WmCodec::beginWriting() { return writer_ && SUCCEEDED(writer_->BeginWriting()); }

bool WmCodec::writePcm(const uint8_t* pcm, int32_t length, int64_t timeUs)
{
    if (!writer_ || !pcm || length <= 0) return false;
    INSSBuffer* sample = nullptr;
    if (FAILED(writer_->AllocateSample(static_cast<DWORD>(length), &sample))) return false;
    BYTE* buffer = nullptr;
    HRESULT hr = sample->GetBuffer(&buffer);
    if (SUCCEEDED(hr)) {
        std::memcpy(buffer, pcm, static_cast<size_t>(length));
        hr = sample->SetLength(static_cast<DWORD>(length));
    }
    if (SUCCEEDED(hr)) hr = writer_->WriteSample(0, static_cast<QWORD>(timeUs) * 10, 1, sample);
    sample->Release();
    return SUCCEEDED(hr);
}

bool WmCodec::finishWriting()
{
    if (!writer_) return false;
    writer_->Flush();
    return SUCCEEDED(writer_->EndWriting());
}

int32_t WmCodec::readTags(const char* path, MediaInfo* info)
{
    if (!info || !initialize() || !openSource(path)) return -10;
    char* fields[5] = {info->title, info->artist, info->copyright, info->comment, info->album};
    for (int i = 0; i < 5; ++i) {
        std::vector<BYTE> value;
        WMT_ATTR_DATATYPE type;
        bool found = false;
        if (SUCCEEDED(lookupAttribute(kTagNames[i], value, type, found)) && found && type == WMT_TYPE_STRING)
            CopyWideValueToField(value.data(), value.size(), fields[i], sizeof info->title);
    }
    std::vector<BYTE> value;
    WMT_ATTR_DATATYPE type;
    bool found = false;
    if (SUCCEEDED(lookupAttribute(L"Duration", value, type, found)) && found && value.size() >= 8) {
        uint64_t units = 0;
        std::memcpy(&units, value.data(), 8);
        info->duration = static_cast<double>(units) * 1e-7;
    }
    std::strcpy(info->formatName, "Windows Media Audio");
    closeSource();
    return 0;
}

int32_t WmCodec::rewriteTags(const char* path, const MediaInfo* info)
{
    if (!path || !info) return -11;
    ensureCom();
    IWMMetadataEditor* editor = nullptr;
    if (FAILED(WMCreateEditor(&editor))) return -11;
    std::u16string wide = WidePath(path);
    if (FAILED(editor->Open(W(wide)))) {
        editor->Release();
        return -11;
    }
    IWMHeaderInfo3* header = nullptr;
    if (SUCCEEDED(editor->QueryInterface(IID_IWMHeaderInfo3, reinterpret_cast<void**>(&header)))) {
        const char* fields[5] = {info->title, info->artist, info->copyright, info->comment, info->album};
        for (int i = 0; i < 5; ++i) {
            std::u16string text = WideFromAnsi(fields[i]);
            const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
            DWORD length = static_cast<DWORD>(text.size() * 2);
            WORD count = 0;
            header->GetAttributeIndices(0, kTagNames[i], nullptr, nullptr, &count);
            if (count > 0) {
                std::vector<WORD> indices(count);
                if (SUCCEEDED(header->GetAttributeIndices(0, kTagNames[i], nullptr, indices.data(), &count)) && count)
                    header->ModifyAttribute(0, indices[0], WMT_TYPE_STRING, 0, bytes, length);
            } else {
                WORD index = 0;
                header->AddAttribute(0, kTagNames[i], &index, WMT_TYPE_STRING, 0, bytes, length);
            }
        }
        header->Release();
    }
    // A file that could not be rewritten is reported, not passed off as saved.
    HRESULT flushed = editor->Flush();
    editor->Close();
    editor->Release();
    return SUCCEEDED(flushed) ? 0 : -11;
}
