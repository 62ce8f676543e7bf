#pragma once
// The prediction stages of a Monkey's Audio frame, run backwards: given the samples the decoder must
// produce, each stage yields the input the decoder's stage needs, and keeps the decoder's state.
#include <cstdint>
#include <vector>

namespace mac {

// Sign as the format uses it: -1 for positive, 1 for negative, 0 for zero.
inline int32_t InverseSign(int32_t x) { return (x < 0) - (x > 0); }

// Adaptive first-order and cross-channel predictor (file versions 3950 and later).
class Predictor {
public:
    explicit Predictor(int compressionLevel);

    // Stereo: y and x are the decoder's two channels (y = R - L, x = L + y / 2); returns their residuals.
    void encodeStereo(int32_t y, int32_t x, int32_t& residualY, int32_t& residualX);
    int32_t encodeMono(int32_t sample);

private:
    static constexpr int kHistory = 512;
    static constexpr int kWindow = 50;

    int32_t encodeChannel(int32_t target, int filter, int delayA, int delayB, int adaptA, int adaptB);
    void advance();

    bool wideArithmetic_;  // level 5000 keeps the sums in 64 bits
    int64_t history_[kHistory + kWindow] = {};
    int64_t* buf_;
    int64_t lastA_[2] = {0, 0};
    int64_t filterA_[2] = {0, 0};
    int64_t filterB_[2] = {0, 0};
    uint64_t coeffsA_[2][4];
    uint64_t coeffsB_[2][5] = {};
};

// Sign-sign adaptive FIR stage on 16-bit history (the "NN filters" of levels 2000 and up).
class NeuralFilter {
public:
    NeuralFilter(int order, int fracBits);
    // Returns the value the decoder's filter turns into `output`.
    int32_t inverse(int32_t output);

private:
    static constexpr int kHistory = 512;
    int order_;
    int fracBits_;
    std::vector<int16_t> coeffs_;
    std::vector<int16_t> history_;
    int delay_;  // index into history_
    int adapt_;
    uint32_t avg_ = 0;
};

// Filter orders and fraction bits per level, in the order the decoder applies them.
struct FilterSpec {
    int order;
    int fracBits;
};
std::vector<FilterSpec> FiltersForLevel(int compressionLevel);

}  // namespace mac
