#include "ape_decompressor.h"

#include "MACDll.h"
#include "mac_errors.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace mac {

ApeDecompressor::~ApeDecompressor() { close(); }

void ApeDecompressor::close()
{
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
}

int ApeDecompressor::readHeader(const char* path)
{
    FILE* f = std::fopen(path, "rb");
    if (!f) return kErrorIoRead;
    if (std::fseek(f, 0, SEEK_END) == 0) fileBytes_ = uint64_t(std::max(0L, std::ftell(f)));
    // Read as much of the start as the header asks for, never more than the file holds.
    std::vector<uint8_t> head;
    size_t want = size_t(std::min<uint64_t>(fileBytes_, 4096));
    int rc = kErrorInvalidInputFile;
    for (int attempt = 0; attempt < 8; ++attempt) {
        head.resize(want);
        std::fseek(f, 0, SEEK_SET);
        head.resize(std::fread(head.data(), 1, want, f));
        size_t needed = 0;
        const ParseResult r = ParseApeHeader(head.data(), head.size(), info_, &needed);
        if (r == ParseResult::Ok) {
            // Frames that would start past the end of the file: nothing of it is audio.
            if (info_.totalFrames == 0 || info_.firstFrameOffset < fileBytes_) rc = kSuccess;
            break;
        }
        if (r == ParseResult::Invalid || head.size() < want || needed <= head.size() || needed > fileBytes_) break;
        want = needed;
    }
    std::fclose(f);
    return rc;
}

int ApeDecompressor::openDecoder(const char* path)
{
    const AVInputFormat* ape = av_find_input_format("ape");
    if (!ape || avformat_open_input(&format_, path, ape, nullptr) < 0) return kErrorInvalidInputFile;
    if (format_->nb_streams < 1) return kErrorInvalidInputFile;
    const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_APE);
    codec_ = decoder ? avcodec_alloc_context3(decoder) : nullptr;
    if (!codec_ || avcodec_parameters_to_context(codec_, format_->streams[0]->codecpar) < 0)
        return kErrorInvalidInputFile;
    // Whole frames at once, so that a frame whose CRC fails is reported before any of it is used.
    codec_->err_recognition = AV_EF_CRCCHECK | AV_EF_EXPLODE;
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "max_samples", INT_MAX, 0);
    const int opened = avcodec_open2(codec_, decoder, &options);
    av_dict_free(&options);
    if (opened < 0) return kErrorInvalidInputFile;
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    return packet_ && frame_ ? kSuccess : kErrorInsufficientMemory;
}

int ApeDecompressor::open(const char* path)
{
    if (!path) return kErrorBadParameter;
    int rc = readHeader(path);
    if (rc) return rc;
    if (info_.totalFrames == 0) return kSuccess;  // an empty file has nothing to decode
    rc = openDecoder(path);
    if (rc) close();
    return rc;
}

int ApeDecompressor::decodeNextFrame()
{
    decoded_.clear();
    decodedOffset_ = 0;
    for (;;) {
        int rc = avcodec_receive_frame(codec_, frame_);
        if (rc == 0) break;
        if (rc == AVERROR_EOF) return kSuccess;  // nothing more
        if (rc != AVERROR(EAGAIN)) return kErrorInvalidChecksum;
        if (drained_) return kSuccess;
        rc = av_read_frame(format_, packet_);
        if (rc < 0) {
            drained_ = true;
            avcodec_send_packet(codec_, nullptr);
            continue;
        }
        if (packet_->stream_index != 0) {
            av_packet_unref(packet_);
            continue;
        }
        if (packet_->pts != AV_NOPTS_VALUE) decodedFirstBlock_ = packet_->pts;
        lastFrameBytes_ = packet_->size;
        rc = avcodec_send_packet(codec_, packet_);
        av_packet_unref(packet_);
        if (rc < 0) return kErrorDecompressingFrame;
    }

    const int channels = frame_->ch_layout.nb_channels;
    const int samples = frame_->nb_samples;
    const int width = info_.bitsPerSample / 8;
    if (channels != info_.channels) {
        av_frame_unref(frame_);
        return kErrorDecompressingFrame;
    }
    decoded_.resize(size_t(samples) * channels * width);
    uint8_t* out = decoded_.data();
    for (int i = 0; i < samples; ++i) {
        for (int c = 0; c < channels; ++c) {
            const uint8_t* plane = frame_->extended_data[c];
            if (width == 1) {
                *out++ = plane[i];
            } else if (width == 2) {
                const int16_t s = reinterpret_cast<const int16_t*>(plane)[i];
                *out++ = uint8_t(s);
                *out++ = uint8_t(uint16_t(s) >> 8);
            } else {
                const int32_t s = reinterpret_cast<const int32_t*>(plane)[i] >> 8;
                *out++ = uint8_t(s);
                *out++ = uint8_t(s >> 8);
                *out++ = uint8_t(s >> 16);
            }
        }
    }
    lastFrameBlocks_ = samples;
    av_frame_unref(frame_);
    return kSuccess;
}

int ApeDecompressor::getData(uint8_t* out, int blocks, int* retrieved)
{
    if (retrieved) *retrieved = 0;
    if (!out || blocks < 0) return kErrorBadParameter;
    if (!codec_) return kSuccess;
    const size_t align = size_t(info_.blockAlign());
    int delivered = 0;
    while (delivered < blocks) {
        if (decodedOffset_ >= decoded_.size()) {
            const int64_t nextFirst = decodedFirstBlock_ + int64_t(decoded_.size() / align);
            decodedFirstBlock_ = nextFirst;
            int rc = decodeNextFrame();
            if (rc) {
                if (retrieved) *retrieved = delivered;
                return rc;
            }
            if (decoded_.empty()) break;
            // After a seek the frame starts before the wanted block: skip up to it.
            if (currentBlock_ > decodedFirstBlock_) {
                const int64_t skip = currentBlock_ - decodedFirstBlock_;
                decodedOffset_ = size_t(std::min<int64_t>(skip * int64_t(align), int64_t(decoded_.size())));
                continue;
            }
            currentBlock_ = decodedFirstBlock_;
        }
        const size_t available = (decoded_.size() - decodedOffset_) / align;
        const size_t n = std::min<size_t>(available, size_t(blocks - delivered));
        std::memcpy(out + size_t(delivered) * align, decoded_.data() + decodedOffset_, n * align);
        decodedOffset_ += n * align;
        delivered += int(n);
        currentBlock_ += int64_t(n);
    }
    if (retrieved) *retrieved = delivered;
    return kSuccess;
}

int ApeDecompressor::seek(int64_t block)
{
    if (block < 0) block = 0;
    const int64_t total = info_.totalBlocks();
    if (block > total) block = total;
    currentBlock_ = block;
    decoded_.clear();
    decodedOffset_ = 0;
    if (!codec_) return kSuccess;
    if (av_seek_frame(format_, 0, block, AVSEEK_FLAG_BACKWARD) < 0) return kErrorUndefined;
    avcodec_flush_buffers(codec_);
    drained_ = false;
    decodedFirstBlock_ = 0;
    return kSuccess;
}

int64_t ApeDecompressor::getInfo(int field, int64_t, int64_t) const
{
    const ApeInfo& i = info_;
    const int64_t wavDataBytes = i.totalBlocks() * i.blockAlign();
    const int64_t wavHeader = (i.formatFlags & kFlagCreateWavHeader) ? 44 : i.wavHeaderBytes;
    const int64_t lengthMs = i.lengthMs();
    const int64_t averageBitrate = lengthMs > 0 ? int64_t(fileBytes_) * 8 / lengthMs : 0;
    switch (field) {
    case APE_INFO_FILE_VERSION: return i.version;
    case APE_INFO_COMPRESSION_LEVEL: return i.compressionLevel;
    case APE_INFO_FORMAT_FLAGS: return i.formatFlags;
    case APE_INFO_SAMPLE_RATE: return i.sampleRate;
    case APE_INFO_BITS_PER_SAMPLE: return i.bitsPerSample;
    case APE_INFO_BYTES_PER_SAMPLE: return i.bitsPerSample / 8;
    case APE_INFO_CHANNELS: return i.channels;
    case APE_INFO_BLOCK_ALIGN: return i.blockAlign();
    case APE_INFO_BLOCKS_PER_FRAME: return i.blocksPerFrame;
    case APE_INFO_FINAL_FRAME_BLOCKS: return i.finalFrameBlocks;
    case APE_INFO_TOTAL_FRAMES: return i.totalFrames;
    case APE_INFO_WAV_HEADER_BYTES: return wavHeader;
    case APE_INFO_WAV_TERMINATING_BYTES: return i.wavTerminatingBytes;
    case APE_INFO_WAV_DATA_BYTES: return wavDataBytes;
    case APE_INFO_WAV_TOTAL_BYTES: return wavDataBytes + wavHeader + i.wavTerminatingBytes;
    case APE_INFO_APE_TOTAL_BYTES: return int64_t(fileBytes_);
    case APE_INFO_TOTAL_BLOCKS:
    case APE_DECOMPRESS_TOTAL_BLOCKS: return i.totalBlocks();
    case APE_INFO_LENGTH_MS:
    case APE_DECOMPRESS_LENGTH_MS: return lengthMs;
    case APE_INFO_AVERAGE_BITRATE:
    case APE_DECOMPRESS_AVERAGE_BITRATE: return averageBitrate;
    case APE_DECOMPRESS_CURRENT_BLOCK: return currentBlock_;
    case APE_DECOMPRESS_CURRENT_MS: return i.sampleRate > 0 ? currentBlock_ * 1000 / i.sampleRate : 0;
    case APE_DECOMPRESS_CURRENT_BITRATE:
        return lastFrameBlocks_ > 0 && i.sampleRate > 0
                   ? lastFrameBytes_ * 8 * i.sampleRate / lastFrameBlocks_ / 1000
                   : averageBitrate;
    default: return -1;
    }
}

}  // namespace mac
