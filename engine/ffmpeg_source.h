#pragma once
// Demuxes and decodes one input through libavformat/libavcodec into interleaved 16-bit PCM.
#include <cstdint>

struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;
struct SwrContext;

class FfmpegSource {
public:
    FfmpegSource() = default;
    ~FfmpegSource();
    FfmpegSource(const FfmpegSource&) = delete;
    FfmpegSource& operator=(const FfmpegSource&) = delete;

    // Opens the wanted audio stream (-1 = first), falling back to the next ones: 0, -1 or -4.
    int32_t open(const char* path, int32_t wantedStream);
    void close();
    bool isOpen() const { return input_ != nullptr; }

    int32_t sampleRate() const { return sampleRate_; }
    int32_t channels() const { return channels_; }  // at most 2
    int32_t streamIndex() const { return streamIndex_; }
    int64_t containerWholeSeconds() const;

    // PCM handed out from now on: the source format, or rate and channels converted.
    bool setOutputFormat(int32_t outRate, int32_t outChannels);

    // Seeks backwards to a time; 0 or -6.
    int32_t seekUs(int64_t us);

    // Fills the whole destination; -100 when the input ends first (the partial frame is dropped).
    int32_t fill(uint8_t* dst, int32_t length);

private:
    bool decodePiece();
    bool receiveFrame();
    bool convertFromFrame();
    bool configureConverter();
    void releasePacket();

    AVFormatContext* input_ = nullptr;
    AVCodecContext* decoder_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    SwrContext* convert_ = nullptr;
    int streamIndex_ = -1;
    int32_t sampleRate_ = 0;
    int32_t channels_ = 0;
    int32_t outRate_ = 0;
    int32_t outChannels_ = 0;
    bool converterReady_ = false;
    int cfgFormat_ = -1, cfgChannels_ = 0, cfgRate_ = 0;  // input the converter was made for
    bool passThrough_ = false;
    int frameOffset_ = 0;       // samples of frame_ already converted
    bool frameHeld_ = false;    // frame_ holds samples not yet converted
    bool inputEnded_ = false;   // end of file reached, decoder drained
    bool converterFlushed_ = false;

    static constexpr int kDecodedCapacity = 524288;
    uint8_t* decoded_ = nullptr;  // decoded PCM not yet handed out
    int decodedRead_ = 0;
    int decodedCount_ = 0;
};
