#pragma once
// What the Converter needs of the Windows Media back-end, in plain types.
// The Win32 build registers a factory; without one the runtime counts as missing.
#include <cstdint>
#include <string>
#include <vector>

#include "media_info.h"

class PcmResampler;

class WindowsMediaBackend {
public:
    virtual ~WindowsMediaBackend() = default;

    virtual bool initialize() = 0;
    // Source.
    virtual bool openSource(const char* path) = 0;
    virtual int32_t sourceChannels() const = 0;
    virtual int32_t sourceSampleRate() const = 0;
    virtual uint64_t duration() const = 0;  // 100-ns units
    virtual int32_t readPcm(uint8_t* dst, int32_t length, bool resample, PcmResampler* resampler,
                            int32_t outChannels) = 0;
    virtual bool seekSource(int64_t startUs) = 0;
    virtual void closeSource() = 0;
    virtual void setStopRequested(bool stop) = 0;
    // Sink.
    virtual int32_t listCodecs(std::vector<std::string>& list) = 0;
    virtual int32_t listFormats(int32_t codecIndex, std::vector<std::string>& list) = 0;
    virtual bool openSink(const char* path, int32_t codecIndex, int32_t qualityIndex) = 0;
    virtual int32_t sinkBitrate() const = 0;
    virtual int32_t sinkSampleRate() const = 0;
    virtual int32_t sinkChannels() const = 0;
    virtual void writeHeaderTags(const MediaInfo& info) = 0;
    virtual bool beginWriting() = 0;
    virtual bool writePcm(const uint8_t* pcm, int32_t length, int64_t timeUs) = 0;
    virtual bool finishWriting() = 0;
    // Tags.
    virtual int32_t readTags(const char* path, MediaInfo* info) = 0;
    virtual int32_t rewriteTags(const char* path, const MediaInfo* info) = 0;
};

using WindowsMediaFactory = WindowsMediaBackend* (*)();
// Installed once at start-up by a program that has the runtime.
void SetWindowsMediaFactory(WindowsMediaFactory factory);
WindowsMediaFactory GetWindowsMediaFactory();
