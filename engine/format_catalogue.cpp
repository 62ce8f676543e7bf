#include "format_catalogue.h"

#include <cctype>

const char* const kOfferedOutputFormats[6] = {"mp3", "wma", "ogg", "ape", "wav", "mp2"};

std::string LowerExtension(const std::string& pathOrFormat)
{
    size_t dot = pathOrFormat.rfind('.');
    std::string ext = dot == std::string::npos ? pathOrFormat : pathOrFormat.substr(dot + 1);
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool IsWindowsMediaExtension(const std::string& ext) { return ext == "asf" || ext == "wma"; }

SourceKind SourceKindFor(const std::string& path)
{
    std::string ext = LowerExtension(path);
    if (ext == "rm" || ext == "rmvb") return SourceKind::RealMedia;
    if (IsWindowsMediaExtension(ext)) return SourceKind::WindowsMedia;
    if (ext == "ape") return SourceKind::MonkeysAudio;
    return SourceKind::Ffmpeg;
}

SinkKind SinkKindFor(const std::string& path)
{
    std::string ext = LowerExtension(path);
    if (IsWindowsMediaExtension(ext)) return SinkKind::WindowsMedia;
    if (ext == "ape") return SinkKind::MonkeysAudio;
    return SinkKind::Ffmpeg;
}

const QualityPreset* PresetTableFor(const std::string& ext)
{
    return (ext == "wav" || ext == "ape") ? PcmPresets : LossyPresets;
}

void AppendCatalogueEncoders(const std::string& ext, std::vector<std::string>& list)
{
    static const struct { const char* ext; const char* name; } kEncoders[] = {
        {"mp3", "Lame MP3 Encoder ver 3.92"},
        {"mp2", "FFMPEG Build-In MP2 Encoder ver 0.49"},
        {"wav", "Wav Output Encoder"},
        {"ogg", "Xiph.Org Ogg Vorbis Encoder"},
        {"ape", "Monkey's Audio APE Encoder"},
    };
    for (const auto& e : kEncoders)
        if (ext == e.ext) list.emplace_back(e.name);
}

void AppendPresetLabels(const std::string& ext, std::vector<std::string>& list)
{
    const QualityPreset* table = nullptr;
    if (ext == "mp2" || ext == "mp3" || ext == "ogg") table = LossyPresets;
    else if (ext == "wav" || ext == "ape") table = PcmPresets;
    if (!table) return;
    for (int i = 0; table[i].index != -1; ++i) list.emplace_back(table[i].label);
}
