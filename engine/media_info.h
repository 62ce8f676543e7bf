#pragma once
// A file's length, format name and tags, in a fixed 2704-byte layout.
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct MediaInfo {
    uint8_t reserved0[8];
    double duration;          // seconds
    char formatName[81];
    char title[512];
    char artist[512];
    char copyright[512];
    char comment[512];
    char album[512];
    uint8_t reserved1[3];
    int32_t year;             // 0 = none
    int32_t track;            // 0 = none
    char genre[36];
};
#pragma pack(pop)

static_assert(sizeof(MediaInfo) == 2704, "MediaInfo layout");
static_assert(offsetof(MediaInfo, reserved0) == 0, "MediaInfo layout");
static_assert(offsetof(MediaInfo, duration) == 8, "MediaInfo layout");
static_assert(offsetof(MediaInfo, formatName) == 16, "MediaInfo layout");
static_assert(offsetof(MediaInfo, title) == 97, "MediaInfo layout");
static_assert(offsetof(MediaInfo, artist) == 609, "MediaInfo layout");
static_assert(offsetof(MediaInfo, copyright) == 1121, "MediaInfo layout");
static_assert(offsetof(MediaInfo, comment) == 1633, "MediaInfo layout");
static_assert(offsetof(MediaInfo, album) == 2145, "MediaInfo layout");
static_assert(offsetof(MediaInfo, reserved1) == 2657, "MediaInfo layout");
static_assert(offsetof(MediaInfo, year) == 2660, "MediaInfo layout");
static_assert(offsetof(MediaInfo, track) == 2664, "MediaInfo layout");
static_assert(offsetof(MediaInfo, genre) == 2668, "MediaInfo layout");

void ClearMediaInfo(MediaInfo& info);

// Copies text into a fixed field, always NUL-terminated, cut to fit.
template <size_t N>
void CopyField(char (&field)[N], const char* text);
void CopyFieldN(char* field, size_t capacity, const char* text);

template <size_t N>
inline void CopyField(char (&field)[N], const char* text) { CopyFieldN(field, N, text); }
