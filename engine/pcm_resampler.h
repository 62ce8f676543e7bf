#pragma once
// Rate and channel conversion of interleaved signed 16-bit PCM.
#include <cstdint>

struct SwrContext;

class PcmResampler {
public:
    PcmResampler() = default;
    ~PcmResampler();
    PcmResampler(const PcmResampler&) = delete;
    PcmResampler& operator=(const PcmResampler&) = delete;

    // Argument order as the job states it: output first, then input.
    bool open(int32_t outChannels, int32_t inChannels, int32_t outRate, int32_t inRate);
    void close();
    bool isOpen() const { return swr_ != nullptr; }

    // Converts inSamples sample frames; returns sample frames written (at most outCapacity), or -1.
    int32_t resample(int16_t* out, int32_t outCapacity, const int16_t* in, int32_t inSamples);

    int32_t outChannels() const { return outChannels_; }
    int32_t inChannels() const { return inChannels_; }
    int32_t outRate() const { return outRate_; }
    int32_t inRate() const { return inRate_; }

private:
    SwrContext* swr_ = nullptr;
    int32_t outChannels_ = 0, inChannels_ = 0, outRate_ = 0, inRate_ = 0;
};
