#pragma once
// Range coder of Monkey's Audio frames (31-bit low with a carry bit, bytes emitted MSB first).
#include <cstdint>
#include <vector>

namespace mac {

class RangeEncoder {
public:
    explicit RangeEncoder(std::vector<uint8_t>& out) : out_(out) {}

    // Symbol occupying [low, low + size) of a total of 2^shift.
    void encodeShift(uint32_t size, uint32_t low, int shift)
    {
        normalize();
        const uint32_t r = range_ >> shift;
        low_ += r * low;
        range_ = r * size;
    }
    // Symbol occupying [low, low + size) of a total of total.
    void encodeFreq(uint32_t size, uint32_t low, uint32_t total)
    {
        normalize();
        const uint32_t r = range_ / total;
        low_ += r * low;
        range_ = r * size;
    }
    // Emits the bytes the decoder reads for the last symbol.
    void finish();

private:
    static constexpr uint32_t kTop = 1u << 31;
    static constexpr uint32_t kBottom = kTop >> 8;
    static constexpr int kShiftBits = 23;

    void normalize()
    {
        while (range_ <= kBottom) {
            shiftOut();
            range_ <<= 8;
            low_ = (low_ << 8) & (kTop - 1);
        }
    }
    void shiftOut();

    std::vector<uint8_t>& out_;
    uint32_t low_ = 0;
    uint32_t range_ = kTop;
    uint32_t buffer_ = 0;   // the first byte written is a placeholder the decoder skips
    uint32_t pending_ = 0;  // 0xFF bytes waiting for a possible carry
};

}  // namespace mac
