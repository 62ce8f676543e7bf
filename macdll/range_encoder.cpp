#include "range_encoder.h"

namespace mac {

void RangeEncoder::shiftOut()
{
    if (low_ < (0xFFu << kShiftBits)) {
        out_.push_back(uint8_t(buffer_));
        for (; pending_; --pending_) out_.push_back(0xFF);
        buffer_ = low_ >> kShiftBits;
    } else if (low_ & kTop) {
        out_.push_back(uint8_t(buffer_ + 1));
        for (; pending_; --pending_) out_.push_back(0x00);
        buffer_ = (low_ >> kShiftBits) & 0xFF;
    } else {
        ++pending_;
    }
}

void RangeEncoder::finish()
{
    // Any value in [low, low + range) decodes the last symbol; take low itself and write all
    // 31 bits of it, as the decoder's window covers them.
    if (low_ & kTop) {
        out_.push_back(uint8_t(buffer_ + 1));
        for (; pending_; --pending_) out_.push_back(0x00);
    } else {
        out_.push_back(uint8_t(buffer_));
        for (; pending_; --pending_) out_.push_back(0xFF);
    }
    const uint32_t v = low_ & (kTop - 1);
    out_.push_back(uint8_t(v >> 23));
    out_.push_back(uint8_t(v >> 15));
    out_.push_back(uint8_t(v >> 7));
    out_.push_back(uint8_t(v << 1));
}

}  // namespace mac
