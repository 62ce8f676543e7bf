#pragma once
// A Windows Media back-end whose every operation fails or does nothing; tests override what they need.
#include "windows_media_backend.h"

class InertWindowsMedia : public WindowsMediaBackend {
public:
    bool initialize() override { return true; }
    bool openSource(const char*) override { return false; }
    int32_t sourceChannels() const override { return 0; }
    int32_t sourceSampleRate() const override { return 0; }
    uint64_t duration() const override { return 0; }
    int32_t readPcm(uint8_t*, int32_t, bool, PcmResampler*, int32_t) override { return -100; }
    bool seekSource(int64_t) override { return false; }
    void closeSource() override {}
    void setStopRequested(bool) override {}
    int32_t listCodecs(std::vector<std::string>& list) override { return static_cast<int32_t>(list.size()); }
    int32_t listFormats(int32_t, std::vector<std::string>& list) override { return static_cast<int32_t>(list.size()); }
    bool openSink(const char*, int32_t, int32_t) override { return false; }
    int32_t sinkBitrate() const override { return 0; }
    int32_t sinkSampleRate() const override { return 0; }
    int32_t sinkChannels() const override { return 0; }
    void writeHeaderTags(const MediaInfo&) override {}
    bool beginWriting() override { return false; }
    bool writePcm(const uint8_t*, int32_t, int64_t) override { return false; }
    bool finishWriting() override { return false; }
    int32_t readTags(const char*, MediaInfo*) override { return -10; }
    int32_t rewriteTags(const char*, const MediaInfo*) override { return -11; }
};
