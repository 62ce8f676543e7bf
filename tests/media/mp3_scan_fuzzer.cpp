// libFuzzer target: the frame scan and ID3v1 reading on arbitrary bytes, then a tag written into
// them, which must leave every byte before the tag as it was and read back as written.
#include "MACDll.h"
#include "mp3_scanner.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
const std::string& TempPath()
{
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/kelvra_fuzz_" + std::to_string(getpid()) + ".mp3";
    }();
    static const bool removeAtExit = std::atexit([] { std::remove(path.c_str()); }) == 0;
    (void)removeAtExit;
    return path;
}

bool Write(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

std::string Read(const std::string& path)
{
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
        std::fclose(f);
    }
    return bytes;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = TempPath();
    if (!Write(path, data, size)) return 0;

    Mp3Scanner s;
    if (!s.scan(path.c_str())) std::abort();
    if ((s.flags & Mp3Scanner::kHasFrames) != 0 && s.frameCount == 0) std::abort();
    if (s.frameCount > static_cast<int64_t>(size / 4) + 1) std::abort();
    if (s.title.size() > 30 || s.comment.size() > 30 || s.year.size() > 4) std::abort();
    (void)Mp3Scanner::genreName(s.genre);

    const bool hadTag = size >= 128 && std::memcmp(data + size - 128, "TAG", 3) == 0;
    const size_t kept = hadTag ? size - 128 : size;
    if (TagFileSimple(path.c_str(), "artist", "album", "fuzzed title", "comment", "Rock", "2000", "3", 0, 1) != 0)
        std::abort();
    const std::string after = Read(path);
    if (after.size() != kept + 128 || std::memcmp(after.data(), data, kept) != 0) std::abort();
    Mp3Scanner t;
    if (!t.readTag(path.c_str()) || t.title != "fuzzed title" || t.track != 3 || t.genre != 17) std::abort();
    return 0;
}
