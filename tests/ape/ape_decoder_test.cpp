// Reading Monkey's Audio files: header fields, block-exact seeking, playback blocks, and bad files.
#include "MACDll.h"
#include "ape_decoder.h"
#include "ape_test_util.h"
#include "media_fixtures.h"
#include "media_probe.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/crc.h>
}

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace {

std::vector<int16_t> ToSamples(const uint8_t* bytes, size_t count)
{
    std::vector<int16_t> s(count / 2);
    for (size_t i = 0; i < s.size(); ++i) s[i] = int16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return s;
}

std::vector<int16_t> ReadAll(ApeDecoder& d)
{
    std::vector<uint8_t> all, chunk(30000);
    for (int32_t n; (n = d.read(chunk.data(), int32_t(chunk.size()), false, nullptr, 0)) > 0;)
        all.insert(all.end(), chunk.begin(), chunk.begin() + n);
    return ToSamples(all.data(), all.size());
}

uint32_t SeekEntry(const std::vector<uint8_t>& file, int frame)
{
    const size_t at = 52 + 24 + size_t(frame) * 4;
    return uint32_t(file[at] | file[at + 1] << 8 | file[at + 2] << 16 | uint32_t(file[at + 3]) << 24);
}

class StereoFile : public ::testing::Test {
protected:
    static constexpr int kRate = 44100;
    static constexpr int64_t kBlocks = 73728 * 2 + 4410;  // three frames at level 3000
    static std::string path_;
    static std::vector<int16_t> pcm_;
    static void TearDownTestSuite() { std::filesystem::remove_all(std::filesystem::path(path_).parent_path()); }
    static void SetUpTestSuite()
    {
        // A directory of this process's own: tests of the suite may run side by side.
        const auto dir = std::filesystem::current_path() / "test-tmp" / ("StereoFile-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        path_ = (dir / "stereo.ape").string();
        pcm_ = MakeSignal(Signal::Music, kBlocks, 2, kRate);
        ASSERT_EQ(EncodeApe(path_, pcm_, 2, kRate, 3000), 0);
    }
};
std::string StereoFile::path_;
std::vector<int16_t> StereoFile::pcm_;

TEST_F(StereoFile, InfoFieldsAndDecoderBuffers)
{
    int error = -1;
    APE_DECOMPRESS_HANDLE h = c_APEDecompress_Create(path_.c_str(), &error);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_SAMPLE_RATE, 0, 0), kRate);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_CHANNELS, 0, 0), 2);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_BLOCK_ALIGN, 0, 0), 4);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_BITS_PER_SAMPLE, 0, 0), 16);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_DECOMPRESS_TOTAL_BLOCKS, 0, 0), kBlocks);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_DECOMPRESS_LENGTH_MS, 0, 0), kBlocks * 1000 / kRate);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_TOTAL_FRAMES, 0, 0), 3);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_COMPRESSION_LEVEL, 0, 0), 3000);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_WAV_DATA_BYTES, 0, 0), kBlocks * 4);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_APE_TOTAL_BYTES, 0, 0),
              int64_t(std::filesystem::file_size(path_)));
    c_APEDecompress_Destroy(h);

    ApeDecoder d;
    ASSERT_EQ(d.open(path_.c_str(), -1), 0);
    EXPECT_TRUE(d.isOpen());
    EXPECT_EQ(d.workBufferBytes(), 4096);
    EXPECT_EQ(d.playbackBlockBytes(), 17640);
    EXPECT_DOUBLE_EQ(d.lengthMs(), double(kBlocks * 1000 / kRate));
    EXPECT_DOUBLE_EQ(d.length(), d.lengthMs() * 0.001);
    EXPECT_EQ(d.sampleRate(), kRate);
    EXPECT_EQ(d.channels(), 2);
    const PcmWaveFormat* f = d.waveFormat();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->formatTag, 1);
    EXPECT_EQ(f->channels, 2);
    EXPECT_EQ(f->samplesPerSec, 44100u);
    EXPECT_EQ(f->avgBytesPerSec, 176400u);
    EXPECT_EQ(f->blockAlign, 4);
    EXPECT_EQ(f->bitsPerSample, 16);
    EXPECT_EQ(f->extraSize, 0);
    EXPECT_TRUE(ReadAll(d) == pcm_);
    d.close();
    EXPECT_FALSE(d.isOpen());
    EXPECT_EQ(d.waveFormat(), nullptr);
}

TEST_F(StereoFile, SeekToHalfTheLengthIsBlockExact)
{
    ApeDecoder d;
    ASSERT_EQ(d.open(path_.c_str(), -1), 0);
    std::vector<uint8_t> some(8000);
    ASSERT_EQ(d.read(some.data(), 8000, false, nullptr, 0), 8000);  // leaves decoded PCM behind
    ASSERT_EQ(d.seek(d.length() / 2), 0);
    EXPECT_EQ(d.currentBlock(), kBlocks / 2);
    EXPECT_NEAR(d.position(), d.length() / 2, 1e-9);
    const std::vector<int16_t> rest = ReadAll(d);
    ASSERT_EQ(rest.size(), size_t(kBlocks - kBlocks / 2) * 2);
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), pcm_.begin() + (kBlocks / 2) * 2));

    // Back to a block inside the first frame, through the library directly.
    int error = 0;
    APE_DECOMPRESS_HANDLE h = c_APEDecompress_Create(path_.c_str(), &error);
    ASSERT_NE(h, nullptr);
    for (int target : {12345, 73728, 0, int(kBlocks - 1)}) {
        ASSERT_EQ(c_APEDecompress_Seek(h, target), 0);
        int16_t block[2];
        int got = 0;
        ASSERT_EQ(c_APEDecompress_GetData(h, reinterpret_cast<char*>(block), 1, &got), 0);
        ASSERT_EQ(got, 1);
        EXPECT_EQ(block[0], pcm_[size_t(target) * 2]) << target;
        EXPECT_EQ(block[1], pcm_[size_t(target) * 2 + 1]) << target;
        EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_DECOMPRESS_CURRENT_BLOCK, 0, 0), target + 1);
    }
    c_APEDecompress_Destroy(h);
}

TEST_F(StereoFile, PlaybackBlocksCarryTheWholeFileThenAnEmptyBlock)
{
    ApeDecoder d;
    ASSERT_EQ(d.open(path_.c_str(), -1), 0);
    std::vector<uint8_t> all;
    int blocks = 0;
    for (;;) {
        WaveBufferRef b = d.readBlock();
        ASSERT_TRUE(b);
        if (b->kind == WaveBuffer::kEmpty) {
            EXPECT_TRUE(b->data.empty());
            break;
        }
        EXPECT_EQ(b->kind, WaveBuffer::kWaveOut);
        EXPECT_EQ(b->data.size(), 17640u);  // a partly filled last block keeps its size
        all.insert(all.end(), b->data.begin(), b->data.end());
        ASSERT_LT(++blocks, 100000);
    }
    const size_t bytes = pcm_.size() * 2;
    EXPECT_EQ(blocks, int((bytes + 17639) / 17640));
    const std::vector<int16_t> played = ToSamples(all.data(), bytes);
    EXPECT_TRUE(played == pcm_);
    EXPECT_NEAR(d.position(), d.length(), 1e-9);
}

TEST_F(StereoFile, StopFlagEndsReads)
{
    ApeDecoder d;
    ASSERT_EQ(d.open(path_.c_str(), -1), 0);
    std::vector<uint8_t> buffer(40000);
    d.setStop(true);
    EXPECT_EQ(d.read(buffer.data(), 40000, false, nullptr, 0), 0);
    d.setStop(false);
    EXPECT_EQ(d.read(buffer.data(), 40000, false, nullptr, 0), 40000);
}

TEST_F(StereoFile, DamagedFrameIsReportedAfterTheGoodOnes)
{
    std::vector<uint8_t> file = ReadBytes(path_);
    const uint32_t second = SeekEntry(file, 1), third = SeekEntry(file, 2);
    for (uint32_t at = second + (third - second) / 2; at < second + (third - second) / 2 + 16; ++at) file[at] ^= 0x5A;
    const std::string damaged = TestDir() + "/damaged.ape";
    WriteBytes(damaged, file);

    int result = 0;
    const std::vector<int16_t> out = DecodeApe(damaged, &result);
    EXPECT_NE(result, 0);
    ASSERT_EQ(out.size(), size_t(73728) * 2);  // the first frame, whole and right
    EXPECT_TRUE(std::equal(out.begin(), out.end(), pcm_.begin()));

    ApeDecoder d;
    ASSERT_EQ(d.open(damaged.c_str(), -1), 0);
    EXPECT_EQ(ReadAll(d).size(), size_t(73728) * 2);  // the source ends at the damage
}

TEST_F(StereoFile, TruncatedFileEndsTheSourceEarly)
{
    const std::vector<uint8_t> file = ReadBytes(path_);
    const std::string dir = TestDir();
    for (double keep : {0.9, 0.6, 0.2}) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + long(file.size() * keep));
        const std::string path = dir + "/cut" + std::to_string(int(keep * 10)) + ".ape";
        WriteBytes(path, cut);
        ApeDecoder d;
        ASSERT_EQ(d.open(path.c_str(), -1), 0) << keep;  // the header is whole
        const std::vector<int16_t> out = ReadAll(d);
        EXPECT_LT(out.size(), pcm_.size()) << keep;
        EXPECT_TRUE(std::equal(out.begin(), out.end(), pcm_.begin())) << keep;
    }
    std::vector<uint8_t> headOnly(file.begin(), file.begin() + 40);
    WriteBytes(dir + "/head.ape", headOnly);
    ApeDecoder d;
    EXPECT_EQ(d.open((dir + "/head.ape").c_str(), -1), -2);
}

TEST(ApeDecoderBadInput, FilesThatAreNotMonkeysAudioGiveMinus2)
{
    const std::string dir = TestDir();
    MakeTone(dir + "/tone.wav", 0.5);
    WriteBytes(dir + "/empty.ape", {});
    std::vector<uint8_t> junk(5000);
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = uint8_t(i * 7919 >> 3);
    WriteBytes(dir + "/junk.ape", junk);
    std::vector<uint8_t> fakeMagic = {'M', 'A', 'C', ' ', 0xA6, 0x0F};  // 4006: not a version
    fakeMagic.resize(200);
    WriteBytes(dir + "/future.ape", fakeMagic);
    for (const char* name : {"tone.wav", "empty.ape", "junk.ape", "future.ape", "does-not-exist.ape"}) {
        ApeDecoder d;
        EXPECT_EQ(d.open((dir + "/" + name).c_str(), -1), -2) << name;
        EXPECT_FALSE(d.isOpen());
        std::vector<uint8_t> buffer(100);
        EXPECT_EQ(d.read(buffer.data(), 100, false, nullptr, 0), 0);
        EXPECT_TRUE(d.readBlock()->kind == WaveBuffer::kEmpty);
        int error = 0;
        EXPECT_EQ(c_APEDecompress_Create((dir + "/" + name).c_str(), &error), nullptr) << name;
        EXPECT_NE(error, 0);
    }
}

// CRC of a frame of silence as the format stores it: CRC-32 of the PCM bytes, shifted right by one.
uint32_t ZeroCrc(size_t bytes)
{
    const std::vector<uint8_t> zeros(bytes, 0);
    return ~av_crc(av_crc_get_table(AV_CRC_32_IEEE_LE), UINT32_MAX, zeros.data(), zeros.size()) >> 1;
}

// A file of an older layout (version 3970: one 32-byte header, no descriptor) whose frames are
// flagged silent, the one kind of older frame that needs no older entropy coder to write.
std::vector<uint8_t> SilentOldVersionFile(int channels, int rate, uint32_t frames, uint32_t finalBlocks)
{
    std::vector<uint8_t> f = {'M', 'A', 'C', ' '};
    auto u16 = [&](uint32_t v) { f.push_back(uint8_t(v)), f.push_back(uint8_t(v >> 8)); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    u16(3970);
    u16(2000);  // level
    u16(32);    // the WAV header is created on decompression
    u16(uint32_t(channels));
    u32(uint32_t(rate));
    u32(0);  // WAV header bytes
    u32(0);  // terminating bytes
    u32(frames);
    u32(finalBlocks);
    const uint32_t first = 32 + frames * 4;
    for (uint32_t i = 0; i < frames; ++i) u32(first + i * 12);
    for (uint32_t i = 0; i < frames; ++i) {
        // Stream words CRC (with the flags bit), flags, padding; stored as little-endian words.
        const uint32_t blocks = i + 1 < frames ? 73728 * 4 : finalBlocks;
        u32(0x80000000u | ZeroCrc(size_t(blocks) * channels * 2));
        u32(channels == 2 ? 3 : 1);
        u32(0);
    }
    return f;
}

TEST(ApeDecoderOlderFiles, ReadsTheOldHeaderLayout)
{
    const std::string path = TestDir() + "/old.ape";
    const uint32_t finalBlocks = 5000;
    WriteBytes(path, SilentOldVersionFile(2, 22050, 2, finalBlocks));
    int error = 0;
    APE_DECOMPRESS_HANDLE h = c_APEDecompress_Create(path.c_str(), &error);
    ASSERT_NE(h, nullptr) << error;
    const int64_t total = 73728 * 4 + finalBlocks;
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_FILE_VERSION, 0, 0), 3970);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_SAMPLE_RATE, 0, 0), 22050);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_CHANNELS, 0, 0), 2);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_BLOCK_ALIGN, 0, 0), 4);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_DECOMPRESS_TOTAL_BLOCKS, 0, 0), total);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_DECOMPRESS_LENGTH_MS, 0, 0), total * 1000 / 22050);
    c_APEDecompress_Destroy(h);
    EXPECT_EQ(DecodePcm(path).size(), size_t(total) * 2);
    int result = -1;
    const std::vector<int16_t> ours = DecodeApe(path, &result);
    EXPECT_EQ(result, 0);
    ASSERT_EQ(ours.size(), size_t(total) * 2);
    EXPECT_TRUE(std::all_of(ours.begin(), ours.end(), [](int16_t v) { return v == 0; }));
}

}  // namespace

namespace {

uint32_t Get32(const std::vector<uint8_t>& f, size_t at)
{
    return uint32_t(f[at] | f[at + 1] << 8 | f[at + 2] << 16 | uint32_t(f[at + 3]) << 24);
}

void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (8 * i));
}

TEST(ApeDecoderOtherLayouts, StoredWavHeaderAndLongerDescriptor)
{
    const std::string dir = TestDir();
    const std::vector<int16_t> pcm = MakeSignal(Signal::Music, 73728 + 4321, 2, 32000);

    // A file that stores the WAV header it was made from.
    std::vector<uint8_t> wavHeader(44, 0);
    std::copy_n("RIFF", 4, wavHeader.begin());
    std::copy_n("WAVEfmt ", 8, wavHeader.begin() + 8);
    int error = 0;
    APE_COMPRESS_HANDLE c = c_APECompress_Create(&error);
    MAC_WAVEFORMATEX format;
    FillWaveFormatEx(&format, 32000, 16, 2);
    ASSERT_EQ(c_APECompress_Start(c, (dir + "/stored.ape").c_str(), &format, int(pcm.size() * 2), 2000,
                                  wavHeader.data(), 44),
              0);
    std::vector<unsigned char> bytes(reinterpret_cast<const unsigned char*>(pcm.data()),
                                     reinterpret_cast<const unsigned char*>(pcm.data()) + pcm.size() * 2);
    ASSERT_EQ(c_APECompress_AddData(c, bytes.data(), int(bytes.size())), 0);
    ASSERT_EQ(c_APECompress_Finish(c, nullptr, 0, 0), 0);
    c_APECompress_Destroy(c);
    EXPECT_TRUE(DecodePcm(dir + "/stored.ape") == pcm);
    APE_DECOMPRESS_HANDLE h = c_APEDecompress_Create((dir + "/stored.ape").c_str(), &error);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_WAV_HEADER_BYTES, 0, 0), 44);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_FORMAT_FLAGS, 0, 0) & 32, 0);
    c_APEDecompress_Destroy(h);

    // A descriptor longer than the 52 bytes known today: readers skip what they do not know.
    std::vector<uint8_t> f = ReadBytes(dir + "/stored.ape");
    const uint32_t frames = Get32(f, 52 + 12);
    const size_t tableAt = 52 + 24;
    for (uint32_t i = 0; i < frames; ++i) Put32(f, tableAt + 4 * i, Get32(f, tableAt + 4 * i) + 8);
    Put32(f, 8, 60);
    f.insert(f.begin() + 52, 8, 0xEE);
    WriteBytes(dir + "/longer.ape", f);
    EXPECT_TRUE(DecodePcm(dir + "/longer.ape") == pcm);
    int result = -1;
    EXPECT_TRUE(DecodeApe(dir + "/longer.ape", &result) == pcm);
    EXPECT_EQ(result, 0);
}

}  // namespace
