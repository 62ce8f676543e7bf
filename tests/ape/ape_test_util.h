#pragma once
// Signals, and encoding and decoding through the MACDll C interface, for the Monkey's Audio tests.
#include <cstdint>
#include <string>
#include <vector>

constexpr int kUnknownAudioBytes = -1;

enum class Signal { Music, Silence, WhiteNoise, Square, Clipped, DualMono, Extremes };
const char* SignalName(Signal s);

// Interleaved 16-bit samples of `blocks` sample frames.
std::vector<int16_t> MakeSignal(Signal kind, int64_t blocks, int channels, int rate, uint32_t seed = 1);

// Compresses through c_APECompress_*, handing the PCM over in pieces of chunkBytes. Returns the library's
// first nonzero result, or 0.
int EncodeApe(const std::string& path, const std::vector<int16_t>& pcm, int channels, int rate, int level,
              size_t chunkBytes = 40000, int maxAudioBytes = kUnknownAudioBytes);

// Decompresses the whole file through c_APEDecompress_*; *result gets the first nonzero GetData result.
std::vector<int16_t> DecodeApe(const std::string& path, int* result = nullptr);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
