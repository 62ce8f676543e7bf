#include "ape_compressor.h"

#include "ape_layout.h"
#include "frame_encoder.h"
#include "mac_errors.h"

#include <algorithm>
#include <cstring>

namespace mac {
namespace {

// Seek-table room reserved when the input length is not known: one hour of audio.
constexpr int64_t kReservedSeconds = 3600;

}  // namespace

ApeCompressor::~ApeCompressor() { abandon(); }

void ApeCompressor::abandon()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

int ApeCompressor::start(const char* path, int sampleRate, int bitsPerSample, int channels, int64_t maxAudioBytes,
                         int compressionLevel, const void* headerData, int headerBytes)
{
    if (file_ || !path) return kErrorBadParameter;
    if (bitsPerSample != 16 || channels < 1 || channels > 2 || sampleRate < 1 || sampleRate > 1000000)
        return kErrorBadParameter;
    if (compressionLevel % 1000 || compressionLevel < 1000 || compressionLevel > 5000) return kErrorBadParameter;
    channels_ = channels;
    sampleRate_ = sampleRate;
    level_ = compressionLevel;
    blocksPerFrame_ = BlocksPerFrame(compressionLevel);
    blockAlign_ = channels * 2;
    wavHeader_.clear();
    if (headerData && headerBytes > 0) {
        const auto* h = static_cast<const uint8_t*>(headerData);
        wavHeader_.assign(h, h + headerBytes);
    }

    const int64_t frameInputBytes = int64_t(blocksPerFrame_) * blockAlign_;
    const int64_t expected = maxAudioBytes > 0 ? maxAudioBytes : kReservedSeconds * sampleRate * blockAlign_;
    reservedEntries_ = uint32_t(std::min<int64_t>(expected / frameInputBytes + 1, 1 << 20));
    dataStart_ = kDescriptorBytes + kHeaderBytes + uint64_t(reservedEntries_) * 4 + wavHeader_.size();

    file_ = std::fopen(path, "wb+");
    if (!file_) return kErrorIoWrite;
    failed_ = false;
    seekTable_.clear();
    pending_.clear();
    frameDataBytes_ = 0;
    finalFrameBlocks_ = 0;
    terminatingBytes_ = 0;
    return kSuccess;
}

int ApeCompressor::writeAt(uint64_t offset, const uint8_t* data, size_t size)
{
    if (fseeko(file_, off_t(offset), SEEK_SET) != 0) return kErrorIoWrite;
    if (size && std::fwrite(data, 1, size, file_) != size) return kErrorIoWrite;
    return kSuccess;
}

int ApeCompressor::encodeFrame(const int16_t* pcm, uint32_t blocks)
{
    frame_.clear();
    if (EncodeFrame(pcm, int(blocks), channels_, level_, frame_) != FrameStatus::Ok) return kErrorUndefined;
    // The file holds the stream as little-endian 32-bit words.
    for (size_t i = 0; i + 3 < frame_.size(); i += 4) {
        std::swap(frame_[i], frame_[i + 3]);
        std::swap(frame_[i + 1], frame_[i + 2]);
    }
    const uint64_t offset = dataStart_ + frameDataBytes_;
    if (offset > UINT32_MAX) return kErrorIoWrite;  // seek-table entries are 32-bit
    int rc = writeAt(offset, frame_.data(), frame_.size());
    if (rc) return rc;
    seekTable_.push_back(uint32_t(offset));
    frameDataBytes_ += frame_.size();
    finalFrameBlocks_ = blocks;
    return kSuccess;
}

int ApeCompressor::addData(const uint8_t* data, int bytes)
{
    if (!file_ || failed_) return kErrorUndefined;
    if (bytes < 0 || (bytes > 0 && !data)) return kErrorBadParameter;
    const size_t frameInputBytes = size_t(blocksPerFrame_) * blockAlign_;
    pending_.insert(pending_.end(), data, data + bytes);
    size_t used = 0;
    std::vector<int16_t> pcm(blocksPerFrame_ * channels_);
    while (pending_.size() - used >= frameInputBytes) {
        const uint8_t* p = pending_.data() + used;
        for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = int16_t(p[2 * i] | p[2 * i + 1] << 8);
        int rc = encodeFrame(pcm.data(), blocksPerFrame_);
        if (rc) {
            failed_ = true;
            return rc;
        }
        used += frameInputBytes;
    }
    pending_.erase(pending_.begin(), pending_.begin() + long(used));
    return kSuccess;
}

int ApeCompressor::moveFrameData(uint64_t newStart, uint64_t bytes)
{
    // Moves the written frames towards the end of the file, last chunk first.
    std::vector<uint8_t> chunk(1 << 20);
    uint64_t remaining = bytes;
    while (remaining > 0) {
        const size_t n = size_t(std::min<uint64_t>(remaining, chunk.size()));
        remaining -= n;
        if (fseeko(file_, off_t(dataStart_ + remaining), SEEK_SET) != 0) return kErrorIoRead;
        if (std::fread(chunk.data(), 1, n, file_) != n) return kErrorIoRead;
        int rc = writeAt(newStart + remaining, chunk.data(), n);
        if (rc) return rc;
    }
    const uint64_t shift = newStart - dataStart_;
    for (uint32_t& entry : seekTable_) {
        if (entry + shift > UINT32_MAX) return kErrorIoWrite;
        entry = uint32_t(entry + shift);
    }
    dataStart_ = newStart;
    return kSuccess;
}

int ApeCompressor::writeHeader()
{
    HeaderFields f;
    f.compressionLevel = uint16_t(level_);
    f.formatFlags = wavHeader_.empty() ? kFlagCreateWavHeader : 0;
    f.blocksPerFrame = blocksPerFrame_;
    f.finalFrameBlocks = finalFrameBlocks_;
    f.totalFrames = uint32_t(seekTable_.size());
    f.bitsPerSample = 16;
    f.channels = uint16_t(channels_);
    f.sampleRate = uint32_t(sampleRate_);
    f.seekTableBytes = reservedEntries_ * 4;
    f.wavHeaderBytes = uint32_t(wavHeader_.size());
    f.apeFrameDataBytes = frameDataBytes_;
    f.terminatingBytes = terminatingBytes_;
    std::vector<uint8_t> head = BuildDescriptorAndHeader(f);
    for (uint32_t i = 0; i < reservedEntries_; ++i) {
        const uint32_t entry = i < seekTable_.size() ? seekTable_[i] : 0;
        for (int b = 0; b < 4; ++b) head.push_back(uint8_t(entry >> (8 * b)));
    }
    head.insert(head.end(), wavHeader_.begin(), wavHeader_.end());
    return writeAt(0, head.data(), head.size());
}

int ApeCompressor::finish(const uint8_t* terminatingData, int terminatingBytes)
{
    if (!file_) return kErrorUndefined;
    // After a failed frame the file still gets a header for the frames written before it.
    int rc = failed_ ? kErrorUndefined : kSuccess;
    if (!failed_ && pending_.size() >= size_t(blockAlign_)) {
        const uint32_t blocks = uint32_t(pending_.size() / blockAlign_);
        std::vector<int16_t> pcm(size_t(blocks) * channels_);
        for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = int16_t(pending_[2 * i] | pending_[2 * i + 1] << 8);
        rc = encodeFrame(pcm.data(), blocks);
    }
    pending_.clear();
    int step = kSuccess;
    if (seekTable_.size() > reservedEntries_) {
        const uint32_t entries = uint32_t(seekTable_.size());
        const uint64_t newStart = kDescriptorBytes + kHeaderBytes + uint64_t(entries) * 4 + wavHeader_.size();
        step = moveFrameData(newStart, frameDataBytes_);
        reservedEntries_ = entries;
    }
    if (!step && !rc && terminatingData && terminatingBytes > 0) {
        step = writeAt(dataStart_ + frameDataBytes_, terminatingData, size_t(terminatingBytes));
        if (!step) terminatingBytes_ = uint32_t(terminatingBytes);
    }
    if (!step) step = writeHeader();
    if (std::fclose(file_) != 0 && !step) step = kErrorIoWrite;
    file_ = nullptr;
    return rc ? rc : step;
}

}  // namespace mac
