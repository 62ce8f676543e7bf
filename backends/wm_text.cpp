#include "wm_text.h"

#include <cstring>

namespace {

std::u16string ToWide(UINT codePage, const char* text)
{
    if (!text || !*text) return {};
    int units = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (units <= 1) return {};
    std::u16string wide(static_cast<size_t>(units), u'\0');
    MultiByteToWideChar(codePage, 0, text, -1, reinterpret_cast<WCHAR*>(&wide[0]), units);
    wide.resize(static_cast<size_t>(units - 1));
    return wide;
}

}  // namespace

std::u16string WidePath(const char* path)
{
    return ToWide(path && path[0] == '/' ? CP_UTF8 : CP_ACP, path);
}

std::u16string WideFromAnsi(const char* text) { return ToWide(CP_ACP, text); }

void CopyWideValueToField(const BYTE* value, size_t bytes, char* field, size_t capacity)
{
    if (!field || capacity == 0) return;
    field[0] = 0;
    if (!value || bytes < 2) return;
    std::u16string wide;
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        char16_t c = static_cast<char16_t>(value[i] | value[i + 1] << 8);
        if (!c) break;
        wide.push_back(c);
    }
    if (wide.empty()) return;
    const WCHAR* src = reinterpret_cast<const WCHAR*>(wide.c_str());
    int size = WideCharToMultiByte(CP_ACP, 0, src, static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return;
    std::vector<char> ansi(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, src, static_cast<int>(wide.size()), ansi.data(), size, nullptr, nullptr);
    // Cut at the last whole character that fits.
    size_t limit = capacity - 1, used = 0;
    while (used < ansi.size()) {
        size_t step = IsDBCSLeadByte(static_cast<BYTE>(ansi[used])) && used + 1 < ansi.size() ? 2 : 1;
        if (used + step > limit) break;
        used += step;
    }
    std::memcpy(field, ansi.data(), used);
    field[used] = 0;
}
