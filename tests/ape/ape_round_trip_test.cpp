// Files written by our encoder decode back to exactly the input, through FFmpeg's own APE decoder
// and through our library (which also checks every frame's CRC).
#include "MACDll.h"
#include "ape_test_util.h"
#include "media_fixtures.h"
#include "media_probe.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

const int kLevels[] = {1000, 2000, 3000, 4000, 5000};

int64_t FrameBlocks(int level) { return level >= 4000 ? 73728 * 4 : 73728; }

void ExpectRoundTrip(const std::string& path, const std::vector<int16_t>& pcm, int channels, int rate)
{
    int ffRate = 0, ffChannels = 0;
    const std::vector<int16_t> ffmpeg = DecodePcm(path, &ffRate, &ffChannels);
    EXPECT_EQ(ffRate, rate);
    EXPECT_EQ(ffChannels, channels);
    ASSERT_EQ(ffmpeg.size(), pcm.size()) << "FFmpeg decoded a different length";
    EXPECT_TRUE(ffmpeg == pcm) << "FFmpeg decoded different samples";

    int result = 0;
    const std::vector<int16_t> ours = DecodeApe(path, &result);
    EXPECT_EQ(result, 0) << "a frame failed its CRC or did not decode";
    EXPECT_TRUE(ours == pcm) << "our decoder returned different samples";
}

using SignalCase = std::tuple<int, int, Signal>;  // level, channels, signal

class SignalRoundTrip : public ::testing::TestWithParam<SignalCase> {};

TEST_P(SignalRoundTrip, DecodesToTheInputSamples)
{
    const auto [level, channels, signal] = GetParam();
    const int rate = 44100;
    const std::vector<int16_t> pcm = MakeSignal(signal, rate * 3 / 4, channels, rate);
    const std::string dir = TestDir();
    const std::string path = dir + "/signal.ape";
    ASSERT_EQ(EncodeApe(path, pcm, channels, rate, level), 0);
    ExpectRoundTrip(path, pcm, channels, rate);
    if (signal == Signal::Silence) EXPECT_LT(ReadBytes(path).size(), 10000u);
    if (signal == Signal::DualMono && channels == 2) {
        // Equal channels are coded once: about the size of the mono file.
        std::vector<int16_t> mono(pcm.size() / 2);
        for (size_t i = 0; i < mono.size(); ++i) mono[i] = pcm[2 * i];
        const std::string monoPath = dir + "/mono.ape";
        ASSERT_EQ(EncodeApe(monoPath, mono, 1, rate, level), 0);
        const size_t stereoBytes = ReadBytes(path).size(), monoBytes = ReadBytes(monoPath).size();
        EXPECT_GT(monoBytes, 1000u);
        EXPECT_LT(stereoBytes, monoBytes + 64);
    }
}

INSTANTIATE_TEST_SUITE_P(LevelsChannelsSignals, SignalRoundTrip,
                         ::testing::Combine(::testing::ValuesIn(kLevels), ::testing::Values(1, 2),
                                            ::testing::Values(Signal::Music, Signal::Silence, Signal::WhiteNoise,
                                                              Signal::Square, Signal::Clipped,
                                                              Signal::DualMono, Signal::Extremes)),
                         [](const ::testing::TestParamInfo<SignalCase>& info) {
                             return "L" + std::to_string(std::get<0>(info.param)) + "_ch" +
                                    std::to_string(std::get<1>(info.param)) + "_" +
                                    SignalName(std::get<2>(info.param));
                         });

using RateCase = std::tuple<int, int, int>;  // level, channels, rate

class RateRoundTrip : public ::testing::TestWithParam<RateCase> {};

TEST_P(RateRoundTrip, KeepsRateAndSamples)
{
    const auto [level, channels, rate] = GetParam();
    const std::vector<int16_t> pcm = MakeSignal(Signal::Music, rate / 2, channels, rate, uint32_t(rate));
    const std::string path = TestDir() + "/rate.ape";
    ASSERT_EQ(EncodeApe(path, pcm, channels, rate, level), 0);
    ExpectRoundTrip(path, pcm, channels, rate);
}

INSTANTIATE_TEST_SUITE_P(Rates, RateRoundTrip,
                         ::testing::Combine(::testing::ValuesIn(kLevels), ::testing::Values(1, 2),
                                            ::testing::Values(8000, 11025, 22050, 32000, 44100, 48000)),
                         [](const ::testing::TestParamInfo<RateCase>& info) {
                             return "L" + std::to_string(std::get<0>(info.param)) + "_ch" +
                                    std::to_string(std::get<1>(info.param)) + "_" +
                                    std::to_string(std::get<2>(info.param));
                         });

class FrameBoundaries : public ::testing::TestWithParam<int> {};

TEST_P(FrameBoundaries, OneSampleOneFrameAndOneFramePlusOne)
{
    const int level = GetParam();
    const int64_t frame = FrameBlocks(level);
    const std::string dir = TestDir();
    for (int64_t blocks : {int64_t(1), frame, frame + 1}) {
        for (int channels : {1, 2}) {
            if (blocks > 1 && channels == 1 && level != 3000) continue;  // mono frames once, at the system's level
            SCOPED_TRACE("blocks " + std::to_string(blocks) + " channels " + std::to_string(channels));
            const std::vector<int16_t> pcm = MakeSignal(Signal::Music, blocks, channels, 44100, uint32_t(blocks));
            const std::string path = dir + "/len" + std::to_string(blocks) + "_" + std::to_string(channels) + ".ape";
            ASSERT_EQ(EncodeApe(path, pcm, channels, 44100, level, 65536), 0);
            ExpectRoundTrip(path, pcm, channels, 44100);

            int error = 0;
            APE_DECOMPRESS_HANDLE h = c_APEDecompress_Create(path.c_str(), &error);
            ASSERT_NE(h, nullptr);
            EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_TOTAL_FRAMES, 0, 0), blocks > frame ? 2 : 1);
            EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_BLOCKS_PER_FRAME, 0, 0), frame);
            EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_FINAL_FRAME_BLOCKS, 0, 0), blocks > frame ? 1 : blocks);
            EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_COMPRESSION_LEVEL, 0, 0), level);
            EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_FILE_VERSION, 0, 0), 3990);
            c_APEDecompress_Destroy(h);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, FrameBoundaries, ::testing::ValuesIn(kLevels));

TEST(ApeEncoderLibrary, MoreFramesThanAnnouncedAndUnevenPiecesKeepEverySample)
{
    // The caller announced far less audio than it sends: the seek table outgrows its reserved room.
    const int rate = 8000;
    const std::vector<int16_t> pcm = MakeSignal(Signal::Music, 73728 * 5 + 77, 1, rate);
    const std::string path = TestDir() + "/long.ape";
    ASSERT_EQ(EncodeApe(path, pcm, 1, rate, 1000, 12345, 2), 0);
    ExpectRoundTrip(path, pcm, 1, rate);
    int error = 0;
    APE_DECOMPRESS_HANDLE h = c_APEDecompress_Create(path.c_str(), &error);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_TOTAL_FRAMES, 0, 0), 6);
    c_APEDecompress_Destroy(h);
}

TEST(ApeEncoderLibrary, RefusesWhatItCannotWrite)
{
    int error = 0;
    APE_COMPRESS_HANDLE h = c_APECompress_Create(&error);
    ASSERT_NE(h, nullptr);
    MAC_WAVEFORMATEX format;
    const std::string dir = TestDir();
    FillWaveFormatEx(&format, 44100, 16, 2);
    EXPECT_NE(c_APECompress_Start(h, (dir + "/a.ape").c_str(), &format, -1, 3500, nullptr, -1), 0);
    EXPECT_NE(c_APECompress_Start(h, (dir + "/missing/dir/a.ape").c_str(), &format, -1, 3000, nullptr, -1), 0);
    FillWaveFormatEx(&format, 44100, 16, 6);
    EXPECT_NE(c_APECompress_Start(h, (dir + "/b.ape").c_str(), &format, -1, 3000, nullptr, -1), 0);
    FillWaveFormatEx(&format, 44100, 8, 2);
    EXPECT_NE(c_APECompress_Start(h, (dir + "/c.ape").c_str(), &format, -1, 3000, nullptr, -1), 0);
    unsigned char data[4] = {1, 2, 3, 4};
    EXPECT_NE(c_APECompress_AddData(h, data, 4), 0);  // not started
    c_APECompress_Destroy(h);
    EXPECT_NE(c_APECompress_Start(nullptr, "x.ape", &format, -1, 3000, nullptr, -1), 0);
}

TEST(ApeEncoderLibrary, FillWaveFormatExDescribesPcm)
{
    MAC_WAVEFORMATEX w;
    ASSERT_EQ(FillWaveFormatEx(&w, 22050, 16, 1), 0);
    EXPECT_EQ(w.wFormatTag, 1);
    EXPECT_EQ(w.nChannels, 1);
    EXPECT_EQ(w.nSamplesPerSec, 22050u);
    EXPECT_EQ(w.nBlockAlign, 2);
    EXPECT_EQ(w.nAvgBytesPerSec, 44100u);
    EXPECT_EQ(w.wBitsPerSample, 16);
    EXPECT_EQ(w.cbSize, 0);
}

}  // namespace

namespace {

TEST(ApeTaggedFiles, AnId3v1TagAtTheEndAndAnId3v2TagAtTheStartLeaveTheAudioIntact)
{
    const std::string dir = TestDir();
    const std::vector<int16_t> pcm = MakeSignal(Signal::Music, 73728 + 999, 2, 44100);
    ASSERT_EQ(EncodeApe(dir + "/plain.ape", pcm, 2, 44100, 3000), 0);
    const std::vector<uint8_t> plain = ReadBytes(dir + "/plain.ape");

    // The tag step appends a 128-byte ID3v1 tag to the finished file.
    std::vector<uint8_t> id3v1(128, 0);
    const char* head = "TAGSong Title";
    std::copy(head, head + 13, id3v1.begin());
    id3v1[127] = 17;
    std::vector<uint8_t> tagged = plain;
    tagged.insert(tagged.end(), id3v1.begin(), id3v1.end());
    WriteBytes(dir + "/v1.ape", tagged);
    ExpectRoundTrip(dir + "/v1.ape", pcm, 2, 44100);

    // Other programs put an ID3v2 tag in front.
    std::vector<uint8_t> v2 = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 20};
    v2.resize(30, 0);
    v2.insert(v2.end(), tagged.begin(), tagged.end());
    WriteBytes(dir + "/v2.ape", v2);
    ExpectRoundTrip(dir + "/v2.ape", pcm, 2, 44100);
    int error = 0;
    APE_DECOMPRESS_HANDLE h = c_APEDecompress_Create((dir + "/v2.ape").c_str(), &error);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_DECOMPRESS_TOTAL_BLOCKS, 0, 0), 73728 + 999);
    ASSERT_EQ(c_APEDecompress_Seek(h, 73728 + 5), 0);
    int16_t block[2];
    int got = 0;
    ASSERT_EQ(c_APEDecompress_GetData(h, reinterpret_cast<char*>(block), 1, &got), 0);
    ASSERT_EQ(got, 1);
    EXPECT_EQ(block[0], pcm[(73728 + 5) * 2]);
    c_APEDecompress_Destroy(h);
}

}  // namespace
