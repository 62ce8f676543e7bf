#pragma once
// Decodes a file back with libavformat/libavcodec to check what was written.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct ProbeResult {
    bool ok = false;
    std::string codec;
    std::string container;
    int sampleRate = 0;
    int channels = 0;
    int64_t samples = 0;       // decoded sample frames of the first audio stream
    double seconds = 0;        // samples / sampleRate
    int audioStreams = 0;
    std::map<std::string, std::string> tags;  // container and stream tags, keys lower-cased
};

ProbeResult Probe(const std::string& path);

// All decoded samples of the first audio stream, interleaved 16-bit.
std::vector<int16_t> DecodePcm(const std::string& path, int* rate = nullptr, int* channels = nullptr);
