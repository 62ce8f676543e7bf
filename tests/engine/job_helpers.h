#pragma once
// Small helpers for tests that run Converter jobs.
#include "convert_job.h"

#include <mutex>
#include <string>
#include <vector>

struct ProgressRecord {
    std::mutex lock;
    std::vector<std::pair<double, double>> calls;  // position, length
    static void Callback(double position, double length, void* self)
    {
        auto* r = static_cast<ProgressRecord*>(self);
        std::lock_guard<std::mutex> g(r->lock);
        r->calls.emplace_back(position, length);
    }
};

// Dominant frequency of a mono or interleaved signal's first channel, from zero crossings.
inline double ZeroCrossingFrequency(const std::vector<int16_t>& pcm, int channels, int rate)
{
    size_t frames = pcm.size() / channels;
    if (frames < 2) return 0;
    int crossings = 0;
    for (size_t i = 1; i < frames; ++i) {
        int16_t a = pcm[(i - 1) * channels], b = pcm[i * channels];
        if ((a < 0 && b >= 0) || (a >= 0 && b < 0)) ++crossings;
    }
    return crossings / 2.0 / (static_cast<double>(frames) / rate);
}
