#include "converter.h"

#include "media_info_reader.h"
#include "mp3_scanner.h"
#include "real_media_backend.h"
#include "tag_writer.h"
#include "windows_media_backend.h"

#include <cmath>
#include <cstring>

Converter::Converter()
{
    if (RealMediaFactory make = GetRealMediaFactory()) {
        realMedia_.reset(make());
        realReady_ = realMedia_ && realMedia_->startEngine();
    }
    resetJob();
}

Converter::~Converter()
{
    closeSource();
    ffmpegSink_.release();
    queue_.clear();
}

EngineResult Converter::AddSource(const char* path, int32_t stream)
{
    if (!path || !*path) return kErrOpenFile;
    queue_.push_back(SourceItem{path, stream});
    return kOk;
}

EngineResult Converter::SetOutput(const char* path, int32_t encoderIndex, int32_t qualityIndex)
{
    if (!path || !*path) return kErrOpenFile;
    output_.path = path;
    output_.encoderIndex = encoderIndex;
    output_.qualityIndex = qualityIndex;
    return kOk;
}

EngineResult Converter::ConvertRange(double startSeconds, double endSeconds)
{
    // A range that is no time at all cannot be positioned.
    if (!std::isfinite(startSeconds) || !std::isfinite(endSeconds) || startSeconds < 0 || startSeconds > 1e12 ||
        endSeconds > 1e12) {
        resetJob();
        return kErrSeek;
    }
    cutStartUs_ = static_cast<int64_t>(startSeconds) * 1000000;
    cutEndUs_ = static_cast<int64_t>(endSeconds) * 1000000;
    return Convert(true);
}

void Converter::Cancel()
{
    cancel_ = true;
    if (realReady_ && realMedia_ && realMedia_->captureMode() == 0) realMedia_->setAbort(true);
    if (windowsMediaReady_ && windowsMedia_) windowsMedia_->setStopRequested(true);
    apeDecoder_.setStop(true);
}

bool Converter::ensureWindowsMedia()
{
    if (windowsMediaReady_) return true;
    if (!windowsMedia_) {
        WindowsMediaFactory make = GetWindowsMediaFactory();
        if (!make) return false;
        windowsMedia_.reset(make());
        if (!windowsMedia_) return false;
    }
    windowsMediaReady_ = windowsMedia_->initialize();
    return windowsMediaReady_;
}

EngineResult Converter::GetMediaInfo(const char* path, MediaInfo* info)
{
    if (!path || !info) return kErrOpenFile;
    bool wm = IsWindowsMediaExtension(LowerExtension(path)) && ensureWindowsMedia();
    return ReadMediaInfo(path, info, wm ? windowsMedia_.get() : nullptr);
}

EngineResult Converter::WriteTags(const char* path, const MediaInfo* info)
{
    if (!path || !info) return kErrOpenFile;
    bool wm = IsWindowsMediaExtension(LowerExtension(path)) && ensureWindowsMedia();
    return WriteFileTags(path, *info, wm ? windowsMedia_.get() : nullptr);
}

int32_t Converter::ListEncoders(const char* format, std::vector<std::string>& list)
{
    std::string ext = LowerExtension(format ? format : "");
    if (IsWindowsMediaExtension(ext)) {
        if (ensureWindowsMedia()) windowsMedia_->listCodecs(list);
    } else {
        AppendCatalogueEncoders(ext, list);
    }
    return static_cast<int32_t>(list.size());
}

int32_t Converter::ListQualities(const char* format, int32_t encoderIndex, std::vector<std::string>& list)
{
    std::string ext = LowerExtension(format ? format : "");
    if (IsWindowsMediaExtension(ext)) {
        if (ensureWindowsMedia()) windowsMedia_->listFormats(encoderIndex, list);
    } else {
        AppendPresetLabels(ext, list);
    }
    return static_cast<int32_t>(list.size());
}

void Converter::resetJob()
{
    sourceLength_ = 0;
    sourceKind_ = SourceKind::None;
    sinkKind_ = SinkKind::None;
    needResample_ = false;
    cancel_ = false;
    cutJob_ = false;
    frameBytes_ = 0;
    frame_.clear();
    frame_.shrink_to_fit();
    resampler_.close();
    queue_.clear();
    if (windowsMedia_) windowsMedia_->setStopRequested(false);
    if (realMedia_) realMedia_->setAbort(false);
    apeDecoder_.setStop(false);
}

EngineResult Converter::openNextSource()
{
    if (queue_.empty()) return kEndOfData;
    SourceItem item = queue_.front();
    queue_.pop_front();
    sourceLength_ = 0;
    sourceOpen_ = false;
    GetMediaInfo(item.path.c_str(), &info_);

    const std::string ext = LowerExtension(item.path);
    switch (SourceKindFor(item.path)) {
    case SourceKind::RealMedia:
        if (!realReady_) return kErrRealEngine;
        realMedia_->setOwnerWindow(ApplicationMainWindow());
        sourceKind_ = SourceKind::RealMedia;
        realMedia_->stop();
        realMedia_->setCaptureMode(0);
        if (!realMedia_->openUrl(item.path.c_str())) return kErrOpenFile;
        realMedia_->begin();
        sourceChannels_ = realMedia_->sourceChannels();
        sourceRate_ = realMedia_->sourceSampleRate();
        sourceOpen_ = true;
        return kOk;
    case SourceKind::WindowsMedia:
        if (!ensureWindowsMedia()) return kErrWindowsMedia;
        sourceKind_ = SourceKind::WindowsMedia;
        if (!windowsMedia_->openSource(item.path.c_str())) return kErrOpenFile;
        sourceChannels_ = windowsMedia_->sourceChannels();
        sourceRate_ = windowsMedia_->sourceSampleRate();
        sourceOpen_ = true;
        return kOk;
    case SourceKind::MonkeysAudio: {
        EngineResult rc = apeDecoder_.open(item.path.c_str(), -1);
        if (rc < 0) return rc;
        sourceKind_ = SourceKind::MonkeysAudio;
        sourceChannels_ = apeDecoder_.channels();
        sourceRate_ = apeDecoder_.sampleRate();
        sourceOpen_ = true;
        return kOk;
    }
    default:
        break;
    }
    if (ext == "mp3" || ext == "mp2") {
        Mp3Scanner scanner;
        if (scanner.scan(item.path.c_str()) && (scanner.flags & Mp3Scanner::kHasFrames)) sourceLength_ = scanner.length;
    }
    EngineResult rc = ffmpegSource_.open(item.path.c_str(), item.stream);
    if (rc < 0) return rc;
    sourceKind_ = SourceKind::Ffmpeg;
    sourceChannels_ = ffmpegSource_.channels();
    sourceRate_ = ffmpegSource_.sampleRate();
    if (sourceLength_ == 0) sourceLength_ = static_cast<double>(ffmpegSource_.containerWholeSeconds());
    sourceOpen_ = true;
    return kOk;
}

EngineResult Converter::openSink()
{
    const std::string ext = LowerExtension(output_.path);
    sinkKind_ = SinkKindFor(output_.path);
    if (sinkKind_ == SinkKind::WindowsMedia) {
        if (!ensureWindowsMedia()) return kErrWindowsMedia;
        if (!windowsMedia_->openSink(output_.path.c_str(), output_.encoderIndex, output_.qualityIndex))
            return kErrOpenFile;
        outBitRate_ = windowsMedia_->sinkBitrate();
        outRate_ = windowsMedia_->sinkSampleRate();
        outChannels_ = windowsMedia_->sinkChannels();
        if (outRate_ < 1 || outChannels_ < 1 || outChannels_ > 2) return kErrOpenEncoder;
        frameBytes_ = outChannels_ * 20000;
    } else {
        const QualityPreset* table = PresetTableFor(ext);
        if (output_.qualityIndex < 0 || output_.qualityIndex >= PresetCount(table)) return kErrOpenEncoder;
        const QualityPreset& row = table[output_.qualityIndex];
        outRate_ = row.sampleRate;
        outBitRate_ = row.bitRate;
        outChannels_ = row.channels;
        if (sinkKind_ == SinkKind::MonkeysAudio) {
            EngineResult rc = apeEncoder_.open(output_.path.c_str(), outChannels_, outRate_);
            if (rc < 0) return rc;
            frameBytes_ = outChannels_ * 20000;
        } else {
            EngineResult rc = ffmpegSink_.open(outRate_, outBitRate_, outChannels_, output_.path.c_str(), info_);
            if (rc < 0) return rc;
            frameBytes_ = ffmpegSink_.frameBytes();
        }
    }
    frame_.assign(static_cast<size_t>(frameBytes_), 0);
    return kOk;
}

EngineResult Converter::beginSink()
{
    outputPosition_ = 0;
    if (sinkKind_ == SinkKind::Ffmpeg) return ffmpegSink_.begin() < 0 ? kErrOpenFile : kOk;
    if (sinkKind_ == SinkKind::WindowsMedia) {
        windowsMedia_->writeHeaderTags(info_);
        return windowsMedia_->beginWriting() ? kOk : kErrOpenFile;
    }
    return kOk;
}

EngineResult Converter::positionAtCutStart()
{
    switch (sourceKind_) {
    case SourceKind::Ffmpeg:
        return ffmpegSource_.seekUs(cutStartUs_);
    case SourceKind::RealMedia:
        realMedia_->seekMs(static_cast<int32_t>(cutStartUs_ / 1000));
        realMedia_->drainCapture();
        return kOk;
    case SourceKind::WindowsMedia:
        return windowsMedia_->seekSource(cutStartUs_) ? kOk : kErrSeek;
    case SourceKind::MonkeysAudio:
        apeDecoder_.seek(cutStartUs_ * 1e-6);
        return kOk;
    default:
        return kErrSeek;
    }
}

double Converter::sourceLengthForProgress() const
{
    switch (sourceKind_) {
    case SourceKind::RealMedia: return realMedia_->lengthMs() * 0.001;
    case SourceKind::WindowsMedia: return static_cast<double>(windowsMedia_->duration() / 10000000);
    case SourceKind::MonkeysAudio: return apeDecoder_.lengthMs() * 0.001;
    default: return sourceLength_;
    }
}

EngineResult Converter::Convert(bool cut)
{
    cutJob_ = cut;
    sourceBase_ = 0;
    int opened = 0;
    bool sinkOpen = false;
    EngineResult rc = openNextSource();
    while (rc != kEndOfData) {
        if (rc < 0) {
            if (opened == 0) {
                closeSource();
                resetJob();
                return rc;
            }
            break;
        }
        ++opened;
        if (!sinkOpen) {
            EngineResult sinkRc = openSink();
            const bool sinkOpened = sinkRc >= 0;
            if (sinkOpened) sinkRc = beginSink();
            if (sinkRc < 0) {
                // The sink could not start: release what was opened.
                closeSource();
                ffmpegSink_.release();
                if (sinkOpened && sinkKind_ == SinkKind::WindowsMedia) windowsMedia_->finishWriting();
                apeEncoder_.finish();
                resetJob();
                return sinkRc;
            }
            sinkOpen = true;
        }
        if (sourceKind_ == SourceKind::RealMedia && !realMedia_->waitDeviceOpened()) {
            // The engine never opened its device: the source ends as at its end.
            closeSource();
            sourceBase_ = outputPosition_;
            rc = openNextSource();
            continue;
        }
        double length;
        if (cutJob_) {
            length = (cutEndUs_ - cutStartUs_) * 1e-6;
            if (positionAtCutStart() < 0) {
                rc = kErrSeek;
                break;
            }
        } else {
            length = sourceLengthForProgress();
        }
        needResample_ = outRate_ != sourceRate_ || sourceChannels_ != outChannels_;
        lastJobResampled_ = needResample_;
        if (sourceKind_ == SourceKind::Ffmpeg) {
            if (needResample_) ffmpegSource_.setOutputFormat(outRate_, outChannels_);
        } else if (needResample_ && !resampler_.open(outChannels_, sourceChannels_, outRate_, sourceRate_)) {
            rc = kErrOpenDecoder;
            break;
        }
        rc = pump(length);
        resampler_.close();
        closeSource();
        sourceBase_ = outputPosition_;
        if (rc < 0) break;
        rc = openNextSource();
    }
    closeSource();
    if (sinkOpen) finishSink();
    resetJob();
    return rc == kEndOfData ? kOk : rc;
}

EngineResult Converter::pump(double length)
{
    const int64_t cutSeconds = (cutEndUs_ - cutStartUs_) / 1000000;
    for (;;) {
        if (encodeOneFrame() < 0) break;
        if (progressCallback) progressCallback((outputPosition_ - sourceBase_) * 1e-6, length, progressUser);
        if (cancel_) {
            if (sourceKind_ == SourceKind::RealMedia) realMedia_->stop();
            return kErrCancelled;
        }
        if (cutJob_ && outputPosition_ / 1000000 > cutSeconds) break;
    }
    if (sourceKind_ == SourceKind::RealMedia) realMedia_->stop();
    return kOk;
}

int32_t Converter::fillFrame()
{
    uint8_t* dst = frame_.data();
    if (sourceKind_ == SourceKind::Ffmpeg) return ffmpegSource_.fill(dst, frameBytes_);
    int32_t got = 0;
    PcmResampler* r = needResample_ ? &resampler_ : nullptr;
    switch (sourceKind_) {
    case SourceKind::RealMedia: got = realMedia_->readPcm(dst, frameBytes_, needResample_, r, outChannels_); break;
    case SourceKind::WindowsMedia:
        got = windowsMedia_->readPcm(dst, frameBytes_, needResample_, r, outChannels_);
        break;
    case SourceKind::MonkeysAudio: got = apeDecoder_.read(dst, frameBytes_, needResample_, r, outChannels_); break;
    default: return kEndOfData;
    }
    if (got <= 0) return kEndOfData;
    if (got < frameBytes_) std::memset(dst + got, 0, static_cast<size_t>(frameBytes_ - got));  // short last frame
    return got;
}

EngineResult Converter::encodeOneFrame()
{
    if (fillFrame() < 0) return kEndOfData;
    switch (sinkKind_) {
    case SinkKind::WindowsMedia:
        windowsMedia_->writePcm(frame_.data(), frameBytes_, outputPosition_);
        break;
    case SinkKind::MonkeysAudio:
        apeEncoder_.add(frame_.data(), frameBytes_);
        break;
    default:
        if (ffmpegSink_.encodeFrame(frame_.data()) < 0) return kEndOfData;
        break;
    }
    outputPosition_ += static_cast<int64_t>(frameBytes_) * 500000 / (static_cast<int64_t>(outChannels_) * outRate_);
    return kOk;
}

void Converter::closeSource()
{
    if (!sourceOpen_) return;
    switch (sourceKind_) {
    case SourceKind::Ffmpeg: ffmpegSource_.close(); break;
    case SourceKind::WindowsMedia: windowsMedia_->closeSource(); break;
    case SourceKind::MonkeysAudio: apeDecoder_.close(); break;
    default: break;
    }
    sourceOpen_ = false;
}

void Converter::finishSink()
{
    switch (sinkKind_) {
    case SinkKind::WindowsMedia:
        windowsMedia_->finishWriting();
        break;
    case SinkKind::MonkeysAudio:
        apeEncoder_.finish();
        WriteFileTags(output_.path.c_str(), info_, nullptr);
        break;
    default:
        ffmpegSink_.finish();
        break;
    }
}
