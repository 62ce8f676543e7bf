#include "ape_prediction.h"

#include <algorithm>
#include <cstring>

namespace mac {
namespace {

constexpr int kYDelayA = 18 + 8 * 4;
constexpr int kYDelayB = 18 + 8 * 3;
constexpr int kXDelayA = 18 + 8 * 2;
constexpr int kXDelayB = 18 + 8;
constexpr int kYAdaptA = 18;
constexpr int kXAdaptA = 14;
constexpr int kYAdaptB = 10;
constexpr int kXAdaptB = 5;

constexpr uint64_t kInitialCoeffsA[4] = {360, 317, uint64_t(-109), 98};

inline int16_t Clip16(int32_t v) { return int16_t(std::min(32767, std::max(-32768, v))); }

}  // namespace

Predictor::Predictor(int compressionLevel) : wideArithmetic_(compressionLevel >= 5000), buf_(history_)
{
    for (int f = 0; f < 2; ++f) std::memcpy(coeffsA_[f], kInitialCoeffsA, sizeof(kInitialCoeffsA));
}

void Predictor::advance()
{
    ++buf_;
    if (buf_ == history_ + kHistory) {
        std::memmove(history_, buf_, kWindow * sizeof(*history_));
        buf_ = history_;
    }
}

int32_t Predictor::encodeChannel(int32_t target, int filter, int delayA, int delayB, int adaptA, int adaptB)
{
    int64_t* b = buf_;
    b[delayA] = lastA_[filter];
    b[adaptA] = InverseSign(int32_t(b[delayA]));
    b[delayA - 1] = int64_t(uint64_t(b[delayA]) - uint64_t(b[delayA - 1]));
    b[adaptA - 1] = InverseSign(int32_t(b[delayA - 1]));
    int64_t predictionA = int64_t(uint64_t(b[delayA]) * coeffsA_[filter][0] +
                                  uint64_t(b[delayA - 1]) * coeffsA_[filter][1] +
                                  uint64_t(b[delayA - 2]) * coeffsA_[filter][2] +
                                  uint64_t(b[delayA - 3]) * coeffsA_[filter][3]);

    b[delayB] = filterA_[filter ^ 1] - (int64_t(uint64_t(filterB_[filter]) * 31ULL) >> 5);
    b[adaptB] = InverseSign(int32_t(b[delayB]));
    b[delayB - 1] = int64_t(uint64_t(b[delayB]) - uint64_t(b[delayB - 1]));
    b[adaptB - 1] = InverseSign(int32_t(b[delayB - 1]));
    filterB_[filter] = filterA_[filter ^ 1];
    int64_t predictionB = int64_t(uint64_t(b[delayB]) * coeffsB_[filter][0] +
                                  uint64_t(b[delayB - 1]) * coeffsB_[filter][1] +
                                  uint64_t(b[delayB - 2]) * coeffsB_[filter][2] +
                                  uint64_t(b[delayB - 3]) * coeffsB_[filter][3] +
                                  uint64_t(b[delayB - 4]) * coeffsB_[filter][4]);

    // The decoder forms filterA = lastA + decay and hands out its low 32 bits.
    const int64_t decay = int64_t(uint64_t(filterA_[filter]) * 31ULL) >> 5;
    int32_t residual;
    if (!wideArithmetic_) {
        const int32_t pa = int32_t(predictionA), pb = int32_t(predictionB);
        const int32_t p = int32_t(int64_t(pa) + (pb >> 1)) >> 10;
        const int32_t lastA = int32_t(uint32_t(target) - uint32_t(decay));
        residual = int32_t(uint32_t(lastA) - uint32_t(p));
        lastA_[filter] = lastA;
    } else {
        const int64_t p = int64_t(uint64_t(predictionA) + uint64_t(predictionB >> 1)) >> 10;
        residual = int32_t(uint32_t(target) - uint32_t(decay) - uint32_t(p));
        lastA_[filter] = residual + p;
    }
    filterA_[filter] = lastA_[filter] + decay;

    const int32_t sign = InverseSign(residual);
    coeffsA_[filter][0] += uint64_t(b[adaptA] * sign);
    coeffsA_[filter][1] += uint64_t(b[adaptA - 1] * sign);
    coeffsA_[filter][2] += uint64_t(b[adaptA - 2] * sign);
    coeffsA_[filter][3] += uint64_t(b[adaptA - 3] * sign);
    coeffsB_[filter][0] += uint64_t(b[adaptB] * sign);
    coeffsB_[filter][1] += uint64_t(b[adaptB - 1] * sign);
    coeffsB_[filter][2] += uint64_t(b[adaptB - 2] * sign);
    coeffsB_[filter][3] += uint64_t(b[adaptB - 3] * sign);
    coeffsB_[filter][4] += uint64_t(b[adaptB - 4] * sign);
    return residual;
}

void Predictor::encodeStereo(int32_t y, int32_t x, int32_t& residualY, int32_t& residualX)
{
    residualY = encodeChannel(y, 0, kYDelayA, kYDelayB, kYAdaptA, kYAdaptB);
    residualX = encodeChannel(x, 1, kXDelayA, kXDelayB, kXAdaptA, kXAdaptB);
    advance();
}

int32_t Predictor::encodeMono(int32_t sample)
{
    int64_t* b = buf_;
    const int32_t currentA = int32_t(lastA_[0]);
    b[kYDelayA] = currentA;
    b[kYDelayA - 1] = int64_t(uint64_t(b[kYDelayA]) - uint64_t(b[kYDelayA - 1]));
    const int32_t predictionA = int32_t(uint64_t(b[kYDelayA]) * coeffsA_[0][0] +
                                        uint64_t(b[kYDelayA - 1]) * coeffsA_[0][1] +
                                        uint64_t(b[kYDelayA - 2]) * coeffsA_[0][2] +
                                        uint64_t(b[kYDelayA - 3]) * coeffsA_[0][3]);
    const int64_t decay = int64_t(uint64_t(filterA_[0]) * 31u) >> 5;
    const int32_t nextA = int32_t(uint32_t(sample) - uint32_t(decay));
    const int32_t residual = int32_t(uint32_t(nextA) - uint32_t(predictionA >> 10));

    b[kYAdaptA] = InverseSign(int32_t(b[kYDelayA]));
    b[kYAdaptA - 1] = InverseSign(int32_t(b[kYDelayA - 1]));
    const int32_t sign = InverseSign(residual);
    for (int i = 0; i < 4; ++i) coeffsA_[0][i] += uint64_t(b[kYAdaptA - i] * sign);
    advance();
    filterA_[0] = int64_t(uint64_t(int64_t(nextA)) + uint64_t(decay));
    lastA_[0] = nextA;
    return residual;
}

NeuralFilter::NeuralFilter(int order, int fracBits)
    : order_(order), fracBits_(fracBits), coeffs_(order, 0), history_(kHistory + 2 * order, 0),
      delay_(2 * order), adapt_(order)
{
}

int32_t NeuralFilter::inverse(int32_t output)
{
    const int16_t* delay = &history_[delay_ - order_];
    const int16_t* adapt = &history_[adapt_ - order_];
    uint32_t dot = 0;
    for (int i = 0; i < order_; ++i) dot += uint32_t(int32_t(coeffs_[i]) * delay[i]);
    const int32_t rounded = int32_t((int64_t(int32_t(dot)) + (1LL << (fracBits_ - 1))) >> fracBits_);
    const int32_t input = int32_t(uint32_t(output) - uint32_t(rounded));
    const int32_t sign = InverseSign(input);
    if (sign)
        for (int i = 0; i < order_; ++i) coeffs_[i] = int16_t(coeffs_[i] + sign * adapt[i]);

    history_[delay_++] = Clip16(output);
    const uint32_t magnitude = output < 0 ? 0u - uint32_t(output) : uint32_t(output);
    int16_t& a = history_[adapt_];
    if (magnitude) {
        const int shift = (magnitude > avg_ * 3ULL) + (magnitude > avg_ + avg_ / 3);
        a = int16_t(InverseSign(output) * (8 << shift));
    } else {
        a = 0;
    }
    avg_ += uint32_t(int32_t(magnitude - avg_) / 16);
    history_[adapt_ - 1] >>= 1;
    history_[adapt_ - 2] >>= 1;
    history_[adapt_ - 8] >>= 1;
    ++adapt_;

    if (delay_ == kHistory + 2 * order_) {
        std::memmove(history_.data(), &history_[delay_ - 2 * order_], 2 * order_ * sizeof(int16_t));
        delay_ = 2 * order_;
        adapt_ = order_;
    }
    return input;
}

std::vector<FilterSpec> FiltersForLevel(int compressionLevel)
{
    switch (compressionLevel) {
    case 2000: return {{16, 11}};
    case 3000: return {{64, 11}};
    case 4000: return {{32, 10}, {256, 13}};
    case 5000: return {{16, 11}, {256, 13}, {1280, 15}};
    default: return {};
    }
}

}  // namespace mac
