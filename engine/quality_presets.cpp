#include "quality_presets.h"

const QualityPreset LossyPresets[31] = {
    {0, 44100, 128000, 2, "44KHZ, 128Kbps, Stereo CBR"},
    {1, 48000, 128000, 2, "48KHZ, 128Kbps, Stereo CBR"},
    {2, 32000, 128000, 2, "32KHZ, 128Kbps, Stereo CBR"},
    {3, 44100, 192000, 2, "44KHZ, 192Kbps, Stereo CBR"},
    {4, 48000, 192000, 2, "48KHZ, 192Kbps, Stereo CBR"},
    {5, 32000, 192000, 2, "32KHZ, 192Kbps, Stereo CBR"},
    {6, 44100, 64000, 2, "44KHZ, 64Kbps, Stereo CBR"},
    {7, 48000, 64000, 2, "48KHZ, 64Kbps, Stereo CBR"},
    {8, 32000, 64000, 2, "32KHZ, 64Kbps, Stereo CBR"},
    {9, 44100, 160000, 2, "44KHZ, 160Kbps, Stereo CBR"},
    {10, 48000, 160000, 2, "48KHZ, 160Kbps, Stereo CBR"},
    {11, 32000, 160000, 2, "32KHZ, 160Kbps, Stereo CBR"},
    {12, 44100, 320000, 2, "44KHZ, 320Kbps, Stereo CBR"},
    {13, 48000, 320000, 2, "48KHZ, 320Kbps, Stereo CBR"},
    {14, 32000, 320000, 2, "32KHZ, 320Kbps, Stereo CBR"},
    {15, 44100, 128000, 1, "44KHZ, 128Kbps, Mono CBR"},
    {16, 48000, 128000, 1, "48KHZ, 128Kbps, Mono CBR"},
    {17, 32000, 128000, 1, "32KHZ, 128Kbps, Mono CBR"},
    {18, 44100, 192000, 1, "44KHZ, 192Kbps, Mono CBR"},
    {19, 48000, 192000, 1, "48KHZ, 192Kbps, Mono CBR"},
    {20, 32000, 192000, 1, "32KHZ, 192Kbps, Mono CBR"},
    {21, 44100, 64000, 1, "44KHZ, 64Kbps, Mono CBR"},
    {22, 48000, 64000, 1, "48KHZ, 64Kbps, Mono CBR"},
    {23, 32000, 64000, 1, "32KHZ, 64Kbps, Mono CBR"},
    {24, 44100, 160000, 1, "44KHZ, 160Kbps, Mono CBR"},
    {25, 48000, 160000, 1, "48KHZ, 160Kbps, Mono CBR"},
    {26, 32000, 160000, 1, "32KHZ, 160Kbps, Mono CBR"},
    {27, 44100, 320000, 1, "44KHZ, 320Kbps, Mono CBR"},
    {28, 48000, 320000, 1, "48KHZ, 320Kbps, Mono CBR"},
    {29, 32000, 320000, 1, "32KHZ, 320Kbps, Mono CBR"},
    {-1, 0, 0, 0, nullptr},
};

const QualityPreset PcmPresets[9] = {
    {0, 44100, 128000, 2, "44KHZ, Stereo"},
    {1, 48000, 128000, 2, "48KHZ, Stereo"},
    {2, 22050, 128000, 2, "22KHZ, Stereo"},
    {3, 11025, 128000, 2, "11KHZ, Stereo"},
    {4, 44100, 128000, 1, "44KHZ, Mono"},
    {5, 48000, 128000, 1, "48KHZ, Mono"},
    {6, 22050, 128000, 1, "22KHZ, Mono"},
    {7, 11025, 128000, 1, "11KHZ, Mono"},
    {-1, 0, 0, 0, nullptr},
};

int PresetCount(const QualityPreset* table)
{
    int n = 0;
    while (table[n].index != -1) ++n;
    return n;
}
