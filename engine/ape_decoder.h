#pragma once
// Monkey's Audio decoding through the MACDll library, for conversion jobs.
#include <cstdint>

class PcmResampler;

class ApeDecoder {
public:
    ApeDecoder();
    ~ApeDecoder();
    ApeDecoder(const ApeDecoder&) = delete;
    ApeDecoder& operator=(const ApeDecoder&) = delete;

    // 0, or -2 when the file cannot be opened as Monkey's Audio. The stream number is ignored.
    int32_t open(const char* path, int32_t stream);
    void close();
    bool isOpen() const;
    void setStop(bool stop);

    // Bytes delivered (0 at the end); resampled when asked.
    int32_t read(uint8_t* dst, int32_t length, bool resample, PcmResampler* resampler, int32_t outChannels);
    int32_t seek(double seconds);
    double position() const;
    double length() const;  // seconds

    double lengthMs() const;
    int32_t sampleRate() const;
    int32_t channels() const;

private:
    struct State;
    State* state_;
};
