#pragma once
// Media.ini: a profile file bound to one path (section "App": AppPath, AppLan).
#include <string>

class SettingsFile {
public:
    void Bind(const std::string& path) { path_ = path; }
    const std::string& Path() const { return path_; }

    void WriteText(const char* section, const char* key, const char* text) const;
    std::string ReadText(const char* section, const char* key, const char* defaultText) const;
    int ReadInt(const char* section, const char* key, int defaultValue, int base) const;
    void WriteInt(const char* section, const char* key, int value, int base) const;

private:
    std::string path_;
};

// Converts a signed integer text in base 2, 8 or 16 (any other base means 10), stopping at
// the first character that does not belong to the number.
int ParseSettingsInt(const std::string& text, int base);
