#pragma once
// Encodes one Monkey's Audio frame (file version 3990) from interleaved 16-bit PCM.
#include <cstdint>
#include <vector>

namespace mac {

enum class FrameStatus { Ok, Unencodable };

// Appends the frame's bytes, in stream order (before the 32-bit word swap of the file), padded to a
// multiple of 4. Unencodable: a residual outside what the entropy coder can carry (never expected
// from 16-bit input, but checked rather than written wrong).
FrameStatus EncodeFrame(const int16_t* pcm, int blocks, int channels, int compressionLevel,
                        std::vector<uint8_t>& out);

// The stored CRC: CRC-32 of the frame's PCM bytes, shifted right by one.
uint32_t FrameCrc(const int16_t* pcm, int blocks, int channels);

}  // namespace mac
