#include "tag_writer.h"

#include "MACDll.h"
#include "format_catalogue.h"
#include "text_codepage.h"
#include "windows_media_backend.h"

#include <cstring>
#include <string>

namespace {
// A field's text up to its NUL, never past the field.
template <size_t N>
std::string Text(const char (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

bool IsDoubleByteCodePage(uint32_t cp) { return cp == 932 || cp == 936 || cp == 949 || cp == 950; }

// Cuts text to at most maxBytes without splitting a character of the ANSI code page.
std::string FitToField(const std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes) return text;
    const uint32_t cp = AnsiCodePage();
    size_t cut = 0;
    if (IsDoubleByteCodePage(cp)) {
        for (size_t i = 0; i < text.size();) {
            const size_t width = static_cast<unsigned char>(text[i]) >= 0x81 && i + 1 < text.size() ? 2 : 1;
            if (i + width > maxBytes) break;
            i += width;
            cut = i;
        }
    } else if (cp == 65001) {
        cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    } else {
        cut = maxBytes;
    }
    return text.substr(0, cut);
}
}  // namespace

EngineResult WriteFileTags(const char* path, const MediaInfo& info, WindowsMediaBackend* wm)
{
    if (!path || !*path) return kErrOpenFile;
    const std::string ext = LowerExtension(path);
    if (ext == "asf" || ext == "wma") return wm ? wm->rewriteTags(path, &info) : kErrTagsUnsupported;
    if (ext != "mp3" && ext != "mp2" && ext != "ape") return kErrTagsUnsupported;
    const std::string year = std::to_string(info.year);
    const std::string track = std::to_string(info.track);
    // ID3v1 fields: 30 bytes, the comment 28 beside a track number.
    const size_t commentBytes = info.track > 0 && info.track < 256 ? 28 : 30;
    const std::string artist = FitToField(Text(info.artist), 30), album = FitToField(Text(info.album), 30),
                      title = FitToField(Text(info.title), 30), comment = FitToField(Text(info.comment), commentBytes);
    // No clearing first, old ID3 format.
    return TagFileSimple(path, artist.c_str(), album.c_str(), title.c_str(), comment.c_str(), Text(info.genre).c_str(),
                         year.c_str(), track.c_str(), 0, 1);
}
