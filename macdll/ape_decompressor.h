#pragma once
// Reads a Monkey's Audio file: header fields from our own parser, audio through FFmpeg's "ape"
// demuxer and decoder (with frame CRC checking), positioned to the exact block.
#include "ape_layout.h"

#include <cstdint>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;

namespace mac {

class ApeDecompressor {
public:
    ApeDecompressor() = default;
    ~ApeDecompressor();
    ApeDecompressor(const ApeDecompressor&) = delete;
    ApeDecompressor& operator=(const ApeDecompressor&) = delete;

    int open(const char* path);
    // Up to `blocks` blocks of interleaved PCM at the file's sample width; 0 with *retrieved == 0 at the end.
    int getData(uint8_t* out, int blocks, int* retrieved);
    int seek(int64_t block);
    int64_t getInfo(int field, int64_t param1, int64_t param2) const;

    const ApeInfo& info() const { return info_; }
    int64_t currentBlock() const { return currentBlock_; }

private:
    int readHeader(const char* path);
    int openDecoder(const char* path);
    int decodeNextFrame();
    void close();

    ApeInfo info_;
    uint64_t fileBytes_ = 0;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    std::vector<uint8_t> decoded_;  // interleaved PCM of the last decoded frame
    size_t decodedOffset_ = 0;
    int64_t decodedFirstBlock_ = 0;  // block number of decoded_[0]
    int64_t currentBlock_ = 0;       // next block handed out
    bool drained_ = false;
    int64_t lastFrameBytes_ = 0;     // compressed size of the frame last decoded
    int64_t lastFrameBlocks_ = 0;
};

}  // namespace mac
