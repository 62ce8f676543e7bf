#include "settings_file.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

void SettingsFile::WriteText(const char* section, const char* key, const char* text) const
{
    WritePrivateProfileStringA(section, key, text ? text : "", path_.c_str());
}

std::string SettingsFile::ReadText(const char* section, const char* key, const char* defaultText) const
{
    std::vector<char> buffer(512);
    for (;;) {
        DWORD n = GetPrivateProfileStringA(section, key, defaultText ? defaultText : "", buffer.data(),
                                           static_cast<DWORD>(buffer.size()), path_.c_str());
        if (n < buffer.size() - 1) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() + 512);
    }
}

int ParseSettingsInt(const std::string& text, int base)
{
    if (base != 2 && base != 8 && base != 16) base = 10;
    return static_cast<int>(std::strtol(text.c_str(), nullptr, base));
}

int SettingsFile::ReadInt(const char* section, const char* key, int defaultValue, int base) const
{
    char buffer[64] = {};
    GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, path_.c_str());
    if (!buffer[0]) return defaultValue;
    return ParseSettingsInt(buffer, base);
}

void SettingsFile::WriteInt(const char* section, const char* key, int value, int base) const
{
    char text[64];
    if (base == 16) std::snprintf(text, sizeof text, "%x", value);
    else if (base == 8) std::snprintf(text, sizeof text, "%o", value);
    else std::snprintf(text, sizeof text, "%d", value);
    WriteText(section, key, text);
}
