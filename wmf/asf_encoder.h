#pragma once
// Encodes interleaved signed 16-bit PCM with FFmpeg's WMA encoder into an ASF file.
// Portable code, no Windows headers.
#include <cstdint>
#include <string>

struct AVFormatContext;
struct AVCodecContext;
struct AVAudioFifo;
struct AVFrame;
struct AVPacket;
struct SwrContext;

struct AsfEncoderSettings {
    uint16_t formatTag = 0x161;
    int32_t sampleRate = 44100;
    int32_t channels = 2;
    int32_t bitrate = 128000;
    std::string language;  // RFC 1766 tag of the stream, may be empty
};

class AsfEncoder {
public:
    AsfEncoder() = default;
    ~AsfEncoder();
    AsfEncoder(const AsfEncoder&) = delete;
    AsfEncoder& operator=(const AsfEncoder&) = delete;

    bool open(const std::string& path, const AsfEncoderSettings& settings);
    bool isOpen() const { return fmt_ != nullptr; }
    // samples = sample frames of interleaved PCM.
    bool write(const int16_t* pcm, int32_t samples);
    // Drains the encoder, writes the trailer and closes the file.
    bool finish();

private:
    bool encodeFrames(bool flush);
    bool drainPackets();
    void release();

    AVFormatContext* fmt_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    SwrContext* swr_ = nullptr;
    AVAudioFifo* fifo_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    int64_t nextPts_ = 0;
    int32_t channels_ = 0;
    bool failed_ = false;
};
