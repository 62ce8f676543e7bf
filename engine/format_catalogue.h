#pragma once
// Back-end choice by file extension and the encoder names per output format.
#include <cstdint>
#include <string>
#include <vector>

#include "quality_presets.h"

enum class SourceKind : int32_t { None = 0, Ffmpeg = 1, RealMedia = 2, WindowsMedia = 3, MonkeysAudio = 4 };
enum class SinkKind : int32_t { None = 0, Ffmpeg = 1, WindowsMedia = 3, MonkeysAudio = 4 };

// Text after the last '.', lower-cased; the whole text when there is no '.'.
std::string LowerExtension(const std::string& pathOrFormat);

SourceKind SourceKindFor(const std::string& path);
SinkKind SinkKindFor(const std::string& path);

bool IsWindowsMediaExtension(const std::string& ext);

// The preset table for an output extension: PcmPresets for wav/ape, LossyPresets otherwise.
const QualityPreset* PresetTableFor(const std::string& ext);

// Appends the catalogue's encoder name for a non-Windows-Media extension.
void AppendCatalogueEncoders(const std::string& ext, std::vector<std::string>& list);
// Appends the labels of the preset table for mp2/mp3/ogg/wav/ape.
void AppendPresetLabels(const std::string& ext, std::vector<std::string>& list);

extern const char* const kOfferedOutputFormats[6];  // mp3, wma, ogg, ape, wav, mp2
