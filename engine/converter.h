#pragma once
// The conversion engine: a queue of sources, one sink per job, a frame pump with progress and cancel.
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ape_decoder.h"
#include "ape_encoder.h"
#include "engine_result.h"
#include "ffmpeg_sink.h"
#include "ffmpeg_source.h"
#include "format_catalogue.h"
#include "media_info.h"
#include "pcm_resampler.h"

class WindowsMediaBackend;
class RealMediaBackend;

// Position and length in seconds, and the caller's pointer; runs on the job's thread.
using ProgressCallback = void (*)(double position, double length, void* user);

struct OutputChoice {
    std::string path;
    int32_t encoderIndex = 0;
    int32_t qualityIndex = 0;
};

struct SourceItem {
    std::string path;
    int32_t stream = -1;  // -1 = the first audio stream
};

class Converter {
public:
    Converter();
    ~Converter();
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    ProgressCallback progressCallback = nullptr;
    void* progressUser = nullptr;

    EngineResult AddSource(const char* path, int32_t stream);
    EngineResult SetOutput(const char* path, int32_t encoderIndex, int32_t qualityIndex);
    EngineResult Convert(bool cut);
    EngineResult ConvertRange(double startSeconds, double endSeconds);
    void Cancel();

    EngineResult GetMediaInfo(const char* path, MediaInfo* info);
    EngineResult WriteTags(const char* path, const MediaInfo* info);
    int32_t ListEncoders(const char* format, std::vector<std::string>& list);
    int32_t ListQualities(const char* format, int32_t encoderIndex, std::vector<std::string>& list);

    // Read-outs of the current or last job, for callers that show or check them.
    const MediaInfo& currentInfo() const { return info_; }
    int32_t outputSampleRate() const { return outRate_; }
    int32_t outputBitRate() const { return outBitRate_; }
    int32_t outputChannels() const { return outChannels_; }
    int32_t frameBytes() const { return frameBytes_; }
    bool lastJobResampled() const { return lastJobResampled_; }
    size_t queuedSources() const { return queue_.size(); }

private:
    EngineResult openNextSource();
    EngineResult openSink();
    EngineResult beginSink();
    EngineResult positionAtCutStart();
    double sourceLengthForProgress() const;
    EngineResult pump(double length);
    EngineResult encodeOneFrame();
    int32_t fillFrame();
    void closeSource();
    void finishSink();
    void resetJob();
    bool ensureWindowsMedia();

    std::deque<SourceItem> queue_;
    OutputChoice output_;
    MediaInfo info_{};
    std::atomic<bool> cancel_{false};

    int32_t outRate_ = 44100, outBitRate_ = 128000, outChannels_ = 2;
    int32_t sourceChannels_ = 2, sourceRate_ = 0;
    double sourceLength_ = 0;
    bool cutJob_ = false;
    int64_t cutStartUs_ = 0, cutEndUs_ = 0;
    SourceKind sourceKind_ = SourceKind::None;
    SinkKind sinkKind_ = SinkKind::None;
    bool sourceOpen_ = false;

    FfmpegSource ffmpegSource_;
    FfmpegSink ffmpegSink_;
    ApeDecoder apeDecoder_;
    ApeEncoder apeEncoder_;
    std::unique_ptr<WindowsMediaBackend> windowsMedia_;
    std::atomic<bool> windowsMediaReady_{false};  // read by Cancel on another thread
    std::unique_ptr<RealMediaBackend> realMedia_;
    bool realReady_ = false;

    bool needResample_ = false;
    bool lastJobResampled_ = false;
    PcmResampler resampler_;
    std::vector<uint8_t> frame_;
    int32_t frameBytes_ = 0;
    int64_t outputPosition_ = 0;
    int64_t sourceBase_ = 0;
};
