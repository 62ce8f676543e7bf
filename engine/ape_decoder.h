#pragma once
// Monkey's Audio decoding through the MACDll library, for conversion jobs and for the player.
#include <cstdint>

#include "playback_decoder.h"

class PcmResampler;

class ApeDecoder final : public PlaybackDecoder {
public:
    ApeDecoder();
    ~ApeDecoder();
    ApeDecoder(const ApeDecoder&) = delete;
    ApeDecoder& operator=(const ApeDecoder&) = delete;

    // 0, or -2 when the file cannot be opened as Monkey's Audio. The stream number is ignored.
    int32_t open(const char* path, int32_t stream) override;
    void close() override;
    void setStop(bool stop) override;
    const PcmWaveFormat* waveFormat() const override;
    // Up to 100 ms of PCM; an empty buffer at the end.
    WaveBufferRef readBlock() override;
    int32_t seek(double seconds) override;
    double position() const override;
    double length() const override;  // seconds
    void destroy() override;

    bool isOpen() const;
    // Bytes delivered (0 at the end); resampled when asked.
    int32_t read(uint8_t* dst, int32_t length, bool resample, PcmResampler* resampler, int32_t outChannels);

    double lengthMs() const;
    int32_t sampleRate() const;
    int32_t channels() const;
    int64_t totalBlocks() const;
    int64_t currentBlock() const;
    int32_t playbackBlockBytes() const;
    int32_t workBufferBytes() const;

private:
    struct State;
    State* state_;
};
