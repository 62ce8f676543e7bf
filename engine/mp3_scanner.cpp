#include "mp3_scanner.h"

#include "id3_genres.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
// Reads a file through one window of bytes; seeks only when a read falls outside it.
class FileWindow {
public:
    ~FileWindow()
    {
        if (file_) std::fclose(file_);
    }
    bool open(const std::string& path)
    {
        file_ = std::fopen(path.c_str(), "rb");
        if (!file_) return false;
        if (!seek(0, SEEK_END)) return false;
        size_ = tell();
        buffer_.resize(kWindow);
        return size_ >= 0;
    }
    int64_t size() const { return size_; }
    // Copies n (at most the window size) bytes at offset; false past the end.
    bool read(int64_t offset, void* dst, size_t n)
    {
        if (offset < 0 || n > kWindow || offset + static_cast<int64_t>(n) > size_) return false;
        if (offset < start_ || offset + static_cast<int64_t>(n) > start_ + static_cast<int64_t>(filled_)) {
            if (!seek(offset, SEEK_SET)) return false;
            start_ = offset;
            filled_ = std::fread(buffer_.data(), 1, kWindow, file_);
            if (filled_ < n) return false;
        }
        std::memcpy(dst, buffer_.data() + (offset - start_), n);
        return true;
    }
    bool read4(int64_t offset, uint32_t& value)
    {
        unsigned char b[4];
        if (!read(offset, b, 4)) return false;
        value = (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
        return true;
    }

private:
    static constexpr size_t kWindow = 65536;
    bool seek(int64_t offset, int whence)
    {
#ifdef _WIN32
        return _fseeki64(file_, offset, whence) == 0;
#else
        return fseeko(file_, static_cast<off_t>(offset), whence) == 0;
#endif
    }
    int64_t tell()
    {
#ifdef _WIN32
        return _ftelli64(file_);
#else
        return ftello(file_);
#endif
    }
    std::FILE* file_ = nullptr;
    std::vector<unsigned char> buffer_;
    int64_t size_ = -1;
    int64_t start_ = 0;
    size_t filled_ = 0;
};

const int kSyncSteps = 10000;

// kbit/s by [table][index]; index 15 is invalid.
const int kBitRates[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 Layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2/2.5 Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG-2/2.5 Layer II, III
};

int BitRate(int version, int layer, int index)
{
    if (index == 15) return -1;
    if (layer < 1 || layer > 3 || version == 0) return 0;
    if (version == 3) return kBitRates[layer - 1][index];
    return kBitRates[layer == 1 ? 3 : 4][index];
}

int SampleRate(int version, int index, int previous)
{
    static const int kRates[4][3] = {{0, 0, 0}, {11025, 12000, 8000}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    if (index == 3) return previous;
    // Version codes: 3 MPEG-1, 2 MPEG-2, 1 MPEG-2.5, 0 reserved.
    const int row = version == 3 ? 3 : version == 2 ? 2 : version == 1 ? 1 : 0;
    return kRates[row][index];
}

int FrameLength(int version, int layer, int bitRate, int sampleRate, int padding)
{
    switch (layer) {
    case 1: return (12000 * bitRate / sampleRate + padding) * 4;
    case 2: return 144000 * bitRate / sampleRate + padding;
    case 3: return (version == 3 ? 144000 : 72000) * bitRate / sampleRate + padding;
    default: return 0;
    }
}

// Finds a header at or after pos, at most kSyncSteps bytes on.
bool FindHeader(FileWindow& file, int64_t& pos, uint32_t& header)
{
    for (int step = 0;; ++step) {
        if (!file.read4(pos + step, header)) return false;
        if (header >= 0xFFE00000u) {
            pos += step;
            return true;
        }
        if (step == kSyncSteps) return false;
    }
}

// Skips ID3v2 tags at pos: "ID3", version, flags, sync-safe size, and a footer when flagged.
int64_t SkipId3v2(FileWindow& file, int64_t pos)
{
    unsigned char h[10];
    while (file.read(pos, h, sizeof h) && std::memcmp(h, "ID3", 3) == 0 && h[3] != 0xFF && h[4] != 0xFF &&
           (h[6] | h[7] | h[8] | h[9]) < 0x80) {
        int64_t size = (int64_t(h[6]) << 21) | (int64_t(h[7]) << 14) | (int64_t(h[8]) << 7) | h[9];
        pos += 10 + size + ((h[5] & 0x10) ? 10 : 0);
    }
    return pos;
}

std::string Text(const unsigned char* field, size_t capacity)
{
    size_t n = 0;
    while (n < capacity && field[n]) ++n;
    return std::string(reinterpret_cast<const char*>(field), n);
}
void ReadId3v1(FileWindow& file, Mp3Scanner& s)
{
    unsigned char tag[128];
    if (file.size() < 128 || !file.read(file.size() - 128, tag, sizeof tag) || std::memcmp(tag, "TAG", 3) != 0)
        return;
    s.title = Text(tag + 3, 30);
    s.artist = Text(tag + 33, 30);
    s.album = Text(tag + 63, 30);
    s.year = Text(tag + 93, 4);
    if (tag[125] == 0) {
        s.comment = Text(tag + 97, 28);
        s.track = tag[126];
    } else {
        s.comment = Text(tag + 97, 30);
    }
    s.genre = tag[127];
    s.flags |= Mp3Scanner::kHasTag;
}
}  // namespace

void Mp3Scanner::reset() { *this = Mp3Scanner(); }

const char* Mp3Scanner::genreName(int number) { return ID3GenreName(number); }

bool Mp3Scanner::readTag(const char* p)
{
    reset();
    path = p ? p : "";
    FileWindow file;
    if (!file.open(path)) return false;
    ReadId3v1(file, *this);
    return true;
}

bool Mp3Scanner::scan(const char* p)
{
    reset();
    path = p ? p : "";
    FileWindow file;
    if (!file.open(path)) return false;

    int64_t pos = audioStart = SkipId3v2(file, 0);
    int64_t bitRateSum = 0;
    uint32_t header = 0;
    while (FindHeader(file, pos, header)) {
        pos += 4;
        if (frameCount == 0) {
            static const int kVersions[4] = {1, 0, 2, 3};
            static const int kLayers[4] = {0, 3, 2, 1};
            version = kVersions[(header >> 19) & 3];
            layer = kLayers[(header >> 17) & 3];
            protection = (header >> 16) & 1;
        }
        const int bitRate = BitRate(version, layer, (header >> 12) & 15);
        if (bitRate > 0) bitRateSum += bitRate;
        sampleRate = SampleRate(version, (header >> 10) & 3, sampleRate);
        if (sampleRate == 0) break;
        channelMode = (header >> 6) & 3;
        copyright = (header >> 3) & 1;
        original = (header >> 2) & 1;
        emphasis = header & 3;
        const int frameLength = FrameLength(version, layer, bitRate, sampleRate, (header >> 9) & 1);
        ++frameCount;
        if (bitRate != 0) length += frameLength * 8.0 / (bitRate * 1000.0);
        if (frameLength - 4 > 0) pos += frameLength - 4;
    }
    if (frameCount > 0) {
        flags |= kHasFrames;
        averageBitrate = static_cast<int32_t>(bitRateSum / frameCount);
    }
    ReadId3v1(file, *this);
    return true;
}
