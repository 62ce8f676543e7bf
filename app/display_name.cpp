#include "display_name.h"

#include <cstdio>
#include <cstring>

namespace {
std::string TrimBlanks(const char* text, size_t capacity)
{
    std::string s(text, strnlen(text, capacity));
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}
}  // namespace

std::string DisplayName(const MediaInfo& info, const std::string& path)
{
    std::string artist = TrimBlanks(info.artist, sizeof info.artist);
    std::string title = TrimBlanks(info.title, sizeof info.title);
    if (!artist.empty() && !title.empty()) return artist + " - " + title;
    size_t slash = path.rfind('\\');
    size_t begin = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < begin) return std::string();
    return path.substr(begin, dot - begin);
}

std::string FormatLength(double seconds)
{
    int s = seconds >= 0 && seconds < 2147483647.0 ? static_cast<int>(seconds) : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", s / 60, s % 60);
    return text;
}
