#pragma once
// Encodes interleaved 16-bit PCM frames through libavcodec into a container guessed from the path.
#include <cstdint>
#include <string>

#include "media_info.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;

class FfmpegSink {
public:
    FfmpegSink() = default;
    ~FfmpegSink();
    FfmpegSink(const FfmpegSink&) = delete;
    FfmpegSink& operator=(const FfmpegSink&) = delete;

    // 0, -3 (no encoder, or it does not open), -100 (no output stream), -1 (no container for the name).
    int32_t open(int32_t sampleRate, int32_t bitRate, int32_t channels, const char* path, const MediaInfo& tags);
    int32_t begin();                        // creates the file and writes the header: 0 or -1
    int32_t encodeFrame(const uint8_t* pcm);  // one frame of frameBytes(): 0, or -100 on a write failure
    void finish();                          // drains the encoder, writes the trailer, releases all
    void release();                         // releases without writing anything more

    bool isOpen() const { return output_ != nullptr; }
    int32_t frameBytes() const { return frameBytes_; }
    int32_t channels() const { return channels_; }
    int32_t sampleRate() const { return sampleRate_; }
    const std::string& codecName() const { return codecName_; }

private:
    void setTags(const MediaInfo& info, bool ogg);
    int32_t writePackets();
    void convertToFrame(const uint8_t* pcm);

    AVFormatContext* output_ = nullptr;
    AVStream* stream_ = nullptr;
    AVCodecContext* encoder_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    bool headerWritten_ = false;
    bool writeFailed_ = false;
    int32_t frameBytes_ = 0;
    int32_t frameSamples_ = 0;
    int32_t channels_ = 0;
    int32_t sampleRate_ = 0;
    int64_t samplesSent_ = 0;
    std::string codecName_;
};
