#include "media_info.h"

#include <cstring>

void ClearMediaInfo(MediaInfo& info) { std::memset(&info, 0, sizeof info); }

void CopyFieldN(char* field, size_t capacity, const char* text)
{
    if (capacity == 0) return;
    size_t n = text ? std::strlen(text) : 0;
    if (n >= capacity) n = capacity - 1;
    if (n) std::memcpy(field, text, n);
    std::memset(field + n, 0, capacity - n);
}
