#pragma once
// Demuxes an ASF file with FFmpeg and decodes the selected audio streams to interleaved
// signed 16-bit PCM (at most two channels). Portable code, no Windows headers.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

struct AVFormatContext;

struct AsfStreamInfo {
    int index = 0;            // FFmpeg stream index
    bool audio = false;
    bool video = false;
    int channels = 0;         // channels of the PCM delivered (1 or 2)
    int sampleRate = 0;
    int64_t bitrate = 0;
    uint32_t codecTag = 0;
};

struct AsfBlock {
    int stream = 0;           // FFmpeg stream index
    uint64_t time = 0;        // 100-ns units
    uint64_t duration = 0;    // 100-ns units
    bool compressed = false;
    std::vector<uint8_t> data;
};

class AsfDecoder {
public:
    AsfDecoder();
    ~AsfDecoder();
    AsfDecoder(const AsfDecoder&) = delete;
    AsfDecoder& operator=(const AsfDecoder&) = delete;

    bool open(const std::string& path);
    void close();
    bool isOpen() const { return fmt_ != nullptr; }
    const std::vector<AsfStreamInfo>& streams() const { return streams_; }

    // Which streams are delivered, and whether as compressed packets.
    void setSelected(int stream, bool selected);
    bool selected(int stream) const;
    void setCompressed(int stream, bool compressed);
    bool compressed(int stream) const;

    // Delivers from start (100-ns) on; duration 0 means to the end.
    bool setRange(uint64_t start, uint64_t duration);
    // The next block of a selected stream in file order; false at the end of the data.
    bool next(AsfBlock& block);

private:
    struct StreamState;
    bool seekTo(uint64_t target);
    bool readPacket();
    void decode(int stream);
    bool keep(AsfBlock& block) const;

    AVFormatContext* fmt_ = nullptr;
    std::vector<AsfStreamInfo> streams_;
    std::vector<std::unique_ptr<StreamState>> states_;
    std::deque<AsfBlock> ready_;
    bool ended_ = false;
    uint64_t rangeStart_ = 0, rangeEnd_ = 0;  // rangeEnd_ 0 = none
};
