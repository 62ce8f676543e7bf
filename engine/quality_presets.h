#pragma once
// The two quality preset tables; each ends with a row whose index is -1.
#include <cstdint>

struct QualityPreset {
    int32_t index;
    int32_t sampleRate;
    int32_t bitRate;
    int32_t channels;
    const char* label;
};

extern const QualityPreset LossyPresets[31];  // mp3, mp2, ogg: 30 rows
extern const QualityPreset PcmPresets[9];     // wav, ape: 8 rows

// Number of rows before the terminating row.
int PresetCount(const QualityPreset* table);
