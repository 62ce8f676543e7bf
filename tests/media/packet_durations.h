#pragma once
// FFmpeg's own view of an audio stream: its packets, counted and summed without decoding.
#include <cstdint>
#include <string>

struct PacketSum {
    bool ok = false;
    int64_t packets = 0;
    double seconds = 0;          // sum of packet durations of the first audio stream
    double frameSeconds = 0;     // duration of one packet
    double containerSeconds = 0; // the container's own duration estimate
};

PacketSum SumAudioPackets(const std::string& path);
