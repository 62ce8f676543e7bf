// TagFileSimple: writes an ID3v1 tag (ID3v1.1 when a track number is given) into an existing file.
// Only the last 128 bytes are ever written: an existing "TAG" block is replaced, otherwise one is
// appended. A write that cannot be completed leaves the file as it was.
#include "MACDll.h"
#include "id3_genres.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {
const int kTagBytes = 128;
const int kFailed = -1;

int64_t FileSize(std::FILE* f)
{
#ifdef _WIN32
    if (_fseeki64(f, 0, SEEK_END) != 0) return -1;
    return _ftelli64(f);
#else
    if (fseeko(f, 0, SEEK_END) != 0) return -1;
    return ftello(f);
#endif
}

bool SeekTo(std::FILE* f, int64_t offset)
{
#ifdef _WIN32
    return _fseeki64(f, offset, SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool TruncateTo(std::FILE* f, int64_t size)
{
    std::fflush(f);
#ifdef _WIN32
    return _chsize_s(_fileno(f), size) == 0;
#else
    return ftruncate(fileno(f), static_cast<off_t>(size)) == 0;
#endif
}

void SetText(unsigned char* field, size_t capacity, const char* text)
{
    std::memset(field, 0, capacity);
    size_t n = std::strlen(text);
    std::memcpy(field, text, n < capacity ? n : capacity);
}

// Track of an existing ID3v1.1 tag, 0 for ID3v1.0.
int ExistingTrack(const unsigned char* tag) { return tag[125] == 0 ? tag[126] : 0; }

void BuildTag(unsigned char* tag, bool keepOld, const char* artist, const char* album, const char* title,
              const char* comment, const char* genre, const char* year, const char* track)
{
    unsigned char old[kTagBytes];
    std::memcpy(old, tag, kTagBytes);
    if (!keepOld) {
        std::memset(old, 0, kTagBytes);
        old[127] = ID3_GENRE_NONE;
    }
    std::memcpy(tag, old, kTagBytes);
    std::memcpy(tag, "TAG", 3);
    if (title) SetText(tag + 3, 30, title);
    if (artist) SetText(tag + 33, 30, artist);
    if (album) SetText(tag + 63, 30, album);
    if (year) SetText(tag + 93, 4, year);

    int trackNumber = track ? std::atoi(track) : ExistingTrack(old);
    if (trackNumber < 0 || trackNumber > 255) trackNumber = 0;
    unsigned char oldComment[31] = {};
    std::memcpy(oldComment, old + 97, 30);
    if (ExistingTrack(old)) oldComment[28] = oldComment[29] = 0;
    const char* commentText = comment ? comment : reinterpret_cast<const char*>(oldComment);
    if (trackNumber > 0) {
        SetText(tag + 97, 28, commentText);
        tag[125] = 0;
        tag[126] = static_cast<unsigned char>(trackNumber);
    } else {
        SetText(tag + 97, 30, commentText);
    }
    if (genre) tag[127] = static_cast<unsigned char>(ID3GenreNumber(genre));
}
}  // namespace

extern "C" MACDLL_API int MACDLL_CALL TagFileSimple(const char* pFilename, const char* pArtist, const char* pAlbum,
                                                     const char* pTitle, const char* pComment, const char* pGenre,
                                                     const char* pYear, const char* pTrack, MAC_BOOL bClearFirst,
                                                     MAC_BOOL bUseOldID3)
{
    // Only the ID3v1 form is written by this library.
    if (!pFilename || !bUseOldID3) return kFailed;
    std::FILE* f = std::fopen(pFilename, "r+b");
    if (!f) return kFailed;

    int64_t size = FileSize(f);
    unsigned char tag[kTagBytes] = {};
    bool hasTag = false;
    if (size >= kTagBytes && SeekTo(f, size - kTagBytes) &&
        std::fread(tag, 1, kTagBytes, f) == static_cast<size_t>(kTagBytes))
        hasTag = std::memcmp(tag, "TAG", 3) == 0;
    if (size < 0) {
        std::fclose(f);
        return kFailed;
    }
    unsigned char oldTag[kTagBytes];
    std::memcpy(oldTag, tag, kTagBytes);
    BuildTag(tag, hasTag && !bClearFirst, pArtist, pAlbum, pTitle, pComment, pGenre, pYear, pTrack);

    const int64_t at = hasTag ? size - kTagBytes : size;
    bool written = SeekTo(f, at) && std::fwrite(tag, 1, kTagBytes, f) == static_cast<size_t>(kTagBytes) &&
                   std::fflush(f) == 0;
    if (!written) {
        // Put the file back: drop what was appended, or restore the old tag.
        std::clearerr(f);
        if (hasTag) {
            if (SeekTo(f, at)) std::fwrite(oldTag, 1, kTagBytes, f);
            std::fflush(f);
        } else {
            TruncateTo(f, size);
        }
    }
    if (std::fclose(f) != 0) written = false;
    return written ? 0 : kFailed;
}
