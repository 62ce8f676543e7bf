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
    int32_t finish();                                                     // 0

private:
    struct State;
    State* state_;
};
