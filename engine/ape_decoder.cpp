#include "ape_decoder.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "MACDll.h"
#include "engine_result.h"
#include "pcm_resampler.h"

namespace {
constexpr int32_t kBlocksPerCall = 1024;
}

struct ApeDecoder::State {
    APE_DECOMPRESS_HANDLE handle = nullptr;
    double lengthMs = 0;
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int32_t blockAlign = 0;
    int64_t totalBlocks = 0;
    int64_t currentBlock = 0;
    std::vector<uint8_t> decoded;  // the library's output
    std::vector<uint8_t> handOut;  // bytes to hand out: a copy, or the resampled PCM
    size_t leftoverOffset = 0;
    size_t leftoverBytes = 0;
    bool resamplerDrained = false;
    bool failed = false;  // a decoding error ends the file there
    std::atomic<bool> stopRequested{false};
    PcmWaveFormat* format = nullptr;
    int32_t playbackBlockBytes = 0;
};

ApeDecoder::ApeDecoder() : state_(new State) {}

ApeDecoder::~ApeDecoder()
{
    close();
    delete state_;
}

void ApeDecoder::destroy() { delete this; }

int32_t ApeDecoder::open(const char* path, int32_t /*stream*/)
{
    close();
    State& s = *state_;
    int error = 0;
    s.handle = path ? c_APEDecompress_Create(path, &error) : nullptr;
    if (!s.handle) return kErrOpenDecoder;
    s.lengthMs = c_APEDecompress_GetInfo(s.handle, APE_DECOMPRESS_LENGTH_MS, 0, 0);
    s.sampleRate = c_APEDecompress_GetInfo(s.handle, APE_INFO_SAMPLE_RATE, 0, 0);
    s.channels = c_APEDecompress_GetInfo(s.handle, APE_INFO_CHANNELS, 0, 0);
    s.blockAlign = c_APEDecompress_GetInfo(s.handle, APE_INFO_BLOCK_ALIGN, 0, 0);
    s.totalBlocks = c_APEDecompress_GetInfo(s.handle, APE_DECOMPRESS_TOTAL_BLOCKS, 0, 0);
    // The engine carries 16-bit PCM only: other sample widths would be handed out as noise.
    if (s.channels < 1 || s.channels > 2 || s.blockAlign != 2 * s.channels || s.sampleRate < 1) {
        close();
        return kErrOpenDecoder;
    }
    s.decoded.assign(size_t(s.blockAlign) * kBlocksPerCall, 0);
    s.handOut.assign(size_t(s.blockAlign) * kBlocksPerCall, 0);
    s.currentBlock = 0;
    s.leftoverOffset = s.leftoverBytes = 0;
    s.resamplerDrained = false;
    s.failed = false;
    s.format = new PcmWaveFormat{1,
                                 uint16_t(s.channels),
                                 uint32_t(s.sampleRate),
                                 uint32_t(s.blockAlign) * uint32_t(s.sampleRate),
                                 uint16_t(2 * s.channels),
                                 16,
                                 0};
    const int32_t perTenth = int32_t(s.format->avgBytesPerSec / 10);
    s.playbackBlockBytes = perTenth - perTenth % s.blockAlign;
    return kOk;
}

void ApeDecoder::close()
{
    State& s = *state_;
    delete s.format;
    s.format = nullptr;
    if (s.handle) c_APEDecompress_Destroy(s.handle);
    s.handle = nullptr;
    std::vector<uint8_t>().swap(s.decoded);
    std::vector<uint8_t>().swap(s.handOut);
    s.leftoverOffset = s.leftoverBytes = 0;
    s.lengthMs = 0;
    s.sampleRate = s.channels = s.blockAlign = 0;
    s.totalBlocks = s.currentBlock = 0;
    s.playbackBlockBytes = 0;
}

bool ApeDecoder::isOpen() const { return state_->handle != nullptr; }
void ApeDecoder::setStop(bool stop) { state_->stopRequested = stop; }
const PcmWaveFormat* ApeDecoder::waveFormat() const { return state_->format; }

int32_t ApeDecoder::read(uint8_t* dst, int32_t length, bool resample, PcmResampler* resampler, int32_t outChannels)
{
    State& s = *state_;
    if (!s.handle || !dst || length <= 0) return 0;
    if (resample && (!resampler || !resampler->isOpen() || outChannels < 1)) return 0;
    int32_t delivered = 0;
    auto handOut = [&]() {
        const size_t n = std::min(s.leftoverBytes, size_t(length - delivered));
        std::memcpy(dst + delivered, s.handOut.data() + s.leftoverOffset, n);
        s.leftoverOffset += n;
        s.leftoverBytes -= n;
        delivered += int32_t(n);
    };
    handOut();
    while (delivered < length && !s.stopRequested) {
        int got = 0;
        const int rc = s.failed ? -1
                                : c_APEDecompress_GetData(s.handle, reinterpret_cast<char*>(s.decoded.data()),
                                                          kBlocksPerCall, &got);
        if (rc != 0) s.failed = true;  // blocks retrieved before the damage still count
        const bool ended = got < 1;
        if (!ended) s.currentBlock += got;
        size_t produced = 0;
        if (resample) {
            if (ended && s.resamplerDrained) break;
            // Room for the rate change and a channel count that may grow.
            const int64_t inFrames = ended ? 0 : got;
            const int64_t outFrames = (inFrames + 64) * resampler->outRate() / resampler->inRate() + 256;
            const size_t need = size_t(outFrames) * size_t(outChannels) * 2;
            if (s.handOut.size() < need) s.handOut.resize(need);
            const int32_t frames = resampler->resample(reinterpret_cast<int16_t*>(s.handOut.data()),
                                                       int32_t(outFrames),
                                                       ended ? nullptr : reinterpret_cast<int16_t*>(s.decoded.data()),
                                                       int32_t(inFrames));
            if (ended) s.resamplerDrained = true;  // what the resampler still held
            if (frames < 0) break;
            produced = size_t(frames) * size_t(outChannels) * 2;
        } else {
            if (ended) break;
            produced = size_t(got) * size_t(s.blockAlign);
            std::memcpy(s.handOut.data(), s.decoded.data(), produced);
        }
        s.leftoverOffset = 0;
        s.leftoverBytes = produced;
        handOut();
        if (ended) break;
    }
    return delivered;
}

WaveBufferRef ApeDecoder::readBlock()
{
    State& s = *state_;
    if (!s.handle || s.playbackBlockBytes <= 0) return MakeEmptyWaveBuffer();
    WaveBufferRef block = MakeWaveBuffer(size_t(s.playbackBlockBytes));
    block->kind = WaveBuffer::kWaveOut;
    if (read(block->data.data(), s.playbackBlockBytes, false, nullptr, 0) <= 0) return MakeEmptyWaveBuffer();
    return block;
}

int32_t ApeDecoder::seek(double seconds)
{
    State& s = *state_;
    if (!s.handle) return -1;
    int64_t target = 0;
    if (s.lengthMs > 0) target = int64_t(seconds * 1000 / s.lengthMs * double(s.totalBlocks));
    target = std::max<int64_t>(0, std::min(target, s.totalBlocks));
    const int rc = c_APEDecompress_Seek(s.handle, int(target));
    s.currentBlock = target;
    // PCM decoded before the seek belongs to the old position.
    s.leftoverOffset = s.leftoverBytes = 0;
    s.resamplerDrained = false;
    s.failed = rc != 0;
    return rc;
}

double ApeDecoder::position() const
{
    const State& s = *state_;
    if (s.totalBlocks <= 0) return 0;
    return double(s.currentBlock) / double(s.totalBlocks) * s.lengthMs * 0.001;
}

double ApeDecoder::length() const { return state_->lengthMs * 0.001; }
double ApeDecoder::lengthMs() const { return state_->lengthMs; }
int32_t ApeDecoder::sampleRate() const { return state_->sampleRate; }
int32_t ApeDecoder::channels() const { return state_->channels; }
int64_t ApeDecoder::totalBlocks() const { return state_->totalBlocks; }
int64_t ApeDecoder::currentBlock() const { return state_->currentBlock; }
int32_t ApeDecoder::playbackBlockBytes() const { return state_->playbackBlockBytes; }
int32_t ApeDecoder::workBufferBytes() const { return int32_t(state_->decoded.size()); }
