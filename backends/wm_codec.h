#pragma once
// The Windows Media back-end: source, sink with the runtime's codec formats, and tag editing,
// all through the Windows Media Format runtime.
#include <cstdint>
#include <vector>

#include "wm_sdk.h"

#include "windows_media_backend.h"

struct WmFormatEntry {
    int32_t formatIndex;  // within the codec's enumeration for this bit-rate mode
    int32_t vbr;          // 0 constant, 1 variable bit rate
    int32_t passes;
};

class WmCodec : public WindowsMediaBackend {
public:
    WmCodec() = default;
    // Uses the given writer (one reference taken over) instead of creating one.
    explicit WmCodec(IWMWriter* writer) : writer_(writer) {}
    ~WmCodec() override;
    WmCodec(const WmCodec&) = delete;
    WmCodec& operator=(const WmCodec&) = delete;

    bool initialize() override;
    bool openSource(const char* path) override;
    int32_t sourceChannels() const override;
    int32_t sourceSampleRate() const override;
    uint64_t duration() const override { return duration_; }
    int32_t readPcm(uint8_t* dst, int32_t length, bool resample, PcmResampler* resampler, int32_t outChannels) override;
    bool seekSource(int64_t startUs) override;
    void closeSource() override;
    void setStopRequested(bool stop) override { stopRequested_ = stop ? 1 : 0; }

    int32_t listCodecs(std::vector<std::string>& list) override;
    int32_t listFormats(int32_t codecIndex, std::vector<std::string>& list) override;
    bool openSink(const char* path, int32_t codecIndex, int32_t qualityIndex) override;
    int32_t sinkBitrate() const override { return sinkBitrate_; }
    int32_t sinkSampleRate() const override { return sinkSampleRate_; }
    int32_t sinkChannels() const override { return sinkChannels_; }
    void writeHeaderTags(const MediaInfo& info) override;
    bool beginWriting() override;
    bool writePcm(const uint8_t* pcm, int32_t length, int64_t timeUs) override;
    bool finishWriting() override;

    int32_t readTags(const char* path, MediaInfo* info) override;
    int32_t rewriteTags(const char* path, const MediaInfo* info) override;

    // For callers that check the stream choice.
    WORD audioStreamNumber() const { return audioStreamNumber_; }

private:
    HRESULT lookupAttribute(const WCHAR* name, std::vector<BYTE>& value, WMT_ATTR_DATATYPE& type, bool& found);
    HRESULT findAudioStream(IWMProfile* fileProfile);
    HRESULT copyAudioOutputFormat();
    HRESULT selectOnlyAudioStream(IWMProfile* fileProfile);
    void buildFormatList(int32_t codecIndex);
    HRESULT createStream(int32_t codecIndex, const WmFormatEntry& entry, IWMStreamConfig** stream);
    HRESULT buildProfile(int32_t codecIndex, int32_t qualityIndex);
    void ensureCom();

    bool initialized_ = false;
    bool comStarted_ = false;
    IWMSyncReader* reader_ = nullptr;
    INSSBuffer* currentSample_ = nullptr;
    IWMHeaderInfo* headerInfo_ = nullptr;
    IWMWriter* writer_ = nullptr;
    IWMProfile* profile_ = nullptr;
    WORD audioStreamNumber_ = 0;
    uint64_t duration_ = 0;
    std::vector<BYTE> sourceFormat_;  // WAVEFORMATEX of the audio output, format-size bytes
    uint8_t* pcmBuffer_ = nullptr;    // FFmpeg allocator
    size_t pcmCapacity_ = 0;
    const uint8_t* readPointer_ = nullptr;
    int32_t bytesLeft_ = 0;
    volatile uint8_t stopRequested_ = 0;
    std::vector<WmFormatEntry> formatList_;
    int32_t sinkBitrate_ = 0, sinkSampleRate_ = 0, sinkChannels_ = 0;
};

WindowsMediaBackend* CreateWmCodec();
