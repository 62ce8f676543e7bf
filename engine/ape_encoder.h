#pragma once
// Monkey's Audio encoding through the MACDll library: the sink for "ape" output.
#include <cstdint>

class ApeEncoder {
public:
    ApeEncoder();
    ~ApeEncoder();
    ApeEncoder(const ApeEncoder&) = delete;
    ApeEncoder& operator=(const ApeEncoder&) = delete;

    int32_t open(const char* path, int32_t channels, int32_t sampleRate);  // 0 or -3
    int32_t add(const uint8_t* data, int32_t bytes);                      // bytes or -1
    // 0; -1 when the library could not complete the file. Without an open file: 0.
    int32_t finish();
    bool isOpen() const;

    static constexpr int32_t kCompressionLevel = 3000;

private:
    struct State;
    State* state_;
};
