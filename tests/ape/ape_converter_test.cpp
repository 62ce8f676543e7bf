// The Converter with Monkey's Audio sources and sinks.
#include "MACDll.h"
#include "ape_test_util.h"
#include "convert_job.h"
#include "converter.h"
#include "media_fixtures.h"
#include "media_probe.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ApeConverter, StereoApeToMonoWavDownMixesInTheDecoder)
{
    const std::string dir = TestDir();
    // Both channels carry the same tone, so the down-mix is that tone again.
    std::vector<int16_t> pcm = MakeSignal(Signal::Music, 44100 * 2, 2, 44100);
    for (size_t i = 0; i < pcm.size(); i += 2) pcm[i + 1] = pcm[i];
    ASSERT_EQ(EncodeApe(dir + "/in.ape", pcm, 2, 44100, 3000), 0);
    Converter c;
    ASSERT_EQ(ConvertOne(c, dir + "/in.ape", dir + "/out.wav", 4), 0);  // PcmPresets row 4: 44 kHz mono
    EXPECT_TRUE(c.lastJobResampled());
    int rate = 0, channels = 0;
    const std::vector<int16_t> mono = DecodePcm(dir + "/out.wav", &rate, &channels);
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(channels, 1);
    ASSERT_GE(mono.size(), pcm.size() / 2 - 64);
    EXPECT_LT(mono.size(), pcm.size() / 2 + 10000);
    double error = 0, energy = 0;
    for (size_t i = 1000; i < pcm.size() / 2 - 1000; ++i) {
        error += std::pow(mono[i] - pcm[2 * i], 2);
        energy += std::pow(pcm[2 * i], 2);
    }
    EXPECT_LT(error / energy, 0.01);
}

TEST(ApeConverter, UpsamplingAndChannelDoublingFitInTheDecoderRead)
{
    const std::string dir = TestDir();
    const std::vector<int16_t> pcm = MakeSignal(Signal::Music, 8000 * 3, 1, 8000);
    ASSERT_EQ(EncodeApe(dir + "/in.ape", pcm, 1, 8000, 2000), 0);
    Converter c;
    ASSERT_EQ(ConvertOne(c, dir + "/in.ape", dir + "/out.wav", 1), 0);  // 48 kHz stereo
    ProbeResult p = Probe(dir + "/out.wav");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.sampleRate, 48000);
    EXPECT_EQ(p.channels, 2);
    EXPECT_NEAR(p.seconds, 3.0, 0.25);
}

TEST(ApeConverter, WavToApeIsLosslessAtLevel3000)
{
    const std::string dir = TestDir();
    MakeTone(dir + "/in.wav", 3.0, 44100, 2, "", 523.25);
    const std::vector<int16_t> source = DecodePcm(dir + "/in.wav");
    Converter c;
    ASSERT_EQ(ConvertOne(c, dir + "/in.wav", dir + "/out.ape", 0), 0);
    int rate = 0, channels = 0;
    const std::vector<int16_t> out = DecodePcm(dir + "/out.ape", &rate, &channels);
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(channels, 2);
    // Whole frames of 10000 sample frames; an FFmpeg source's partial last frame is not encoded.
    ASSERT_EQ(out.size(), source.size() / 20000 * 20000);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), source.begin()));

    int error = 0;
    APE_DECOMPRESS_HANDLE h = c_APEDecompress_Create((dir + "/out.ape").c_str(), &error);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_COMPRESSION_LEVEL, 0, 0), 3000);
    EXPECT_EQ(c_APEDecompress_GetInfo(h, APE_INFO_FILE_VERSION, 0, 0), 3990);
    c_APEDecompress_Destroy(h);
}

TEST(ApeConverter, MergeAndCutWithApeSources)
{
    const std::string dir = TestDir();
    const std::vector<int16_t> a = MakeSignal(Signal::Music, 22050 * 2, 2, 22050, 1);
    const std::vector<int16_t> b = MakeSignal(Signal::WhiteNoise, 22050 * 1, 2, 22050, 2);
    ASSERT_EQ(EncodeApe(dir + "/a.ape", a, 2, 22050, 1000), 0);
    ASSERT_EQ(EncodeApe(dir + "/b.ape", b, 2, 22050, 4000), 0);
    Converter c;
    ASSERT_EQ(c.AddSource((dir + "/a.ape").c_str(), -1), 0);
    ASSERT_EQ(c.AddSource((dir + "/b.ape").c_str(), -1), 0);
    ASSERT_EQ(c.SetOutput((dir + "/merged.ape").c_str(), 0, 2), 0);  // 22 kHz stereo: no resampling
    ASSERT_EQ(c.Convert(false), 0);
    const std::vector<int16_t> merged = DecodePcm(dir + "/merged.ape");
    ASSERT_GE(merged.size(), a.size() + b.size());
    // An APE source's short last frame is padded with silence to the job's 10000 sample frames.
    EXPECT_TRUE(std::equal(a.begin(), a.end(), merged.begin()));
    const size_t bAt = (a.size() + 19999) / 20000 * 20000;
    EXPECT_TRUE(std::all_of(merged.begin() + long(a.size()), merged.begin() + long(bAt), [](int16_t v) { return !v; }));
    ASSERT_GE(merged.size(), bAt + b.size());
    EXPECT_TRUE(std::equal(b.begin(), b.end(), merged.begin() + long(bAt)));

    ASSERT_EQ(c.AddSource((dir + "/a.ape").c_str(), -1), 0);
    ASSERT_EQ(c.SetOutput((dir + "/cut.wav").c_str(), 0, 2), 0);
    ASSERT_EQ(c.ConvertRange(1.0, 2.0), 0);
    const std::vector<int16_t> cut = DecodePcm(dir + "/cut.wav");
    ASSERT_GT(cut.size(), 1000u);
    EXPECT_TRUE(std::equal(cut.begin(), cut.begin() + 1000, a.begin() + 22050 * 2));  // starts at 1 s exactly
}

TEST(ApeConverter, NonApeSourceNamedApeStopsTheJobWithMinus2)
{
    const std::string dir = TestDir();
    MakeTone(dir + "/tone.wav", 0.3);
    WriteBytes(dir + "/fake.ape", ReadBytes(dir + "/tone.wav"));
    Converter c;
    EXPECT_EQ(ConvertOne(c, dir + "/fake.ape", dir + "/out.wav", 0), -2);
    EXPECT_FALSE(Probe(dir + "/out.wav").ok);
}

}  // namespace

TEST(ApeConverter, OutputCarriesTheLastSourcesTagsAsId3v1)
{
    const std::string dir = TestDir();
    MakeTone(dir + "/first.wav", 1.0, 44100, 2, "-metadata title=First -metadata artist=One");
    MakeTone(dir + "/last.wav", 1.0, 44100, 2,
             "-metadata title='Last Song' -metadata artist='Two' -metadata album='The Album' -metadata date=2001 "
             "-metadata track=9 -metadata genre=Jazz -metadata comment='a note'");
    Converter c;
    ASSERT_EQ(c.AddSource((dir + "/first.wav").c_str(), -1), 0);
    ASSERT_EQ(c.AddSource((dir + "/last.wav").c_str(), -1), 0);
    ASSERT_EQ(c.SetOutput((dir + "/out.ape").c_str(), 0, 0), 0);
    ASSERT_EQ(c.Convert(false), 0);

    const std::vector<uint8_t> bytes = ReadBytes(dir + "/out.ape");
    ASSERT_GT(bytes.size(), 128u);
    EXPECT_EQ(std::string(bytes.end() - 128, bytes.end() - 125), "TAG");

    MediaInfo info;
    ASSERT_EQ(c.GetMediaInfo((dir + "/out.ape").c_str(), &info), 0);
    EXPECT_STREQ(info.title, "Last Song");
    EXPECT_STREQ(info.artist, "Two");
    EXPECT_STREQ(info.album, "The Album");
    EXPECT_STREQ(info.comment, "a note");
    EXPECT_STREQ(info.genre, "Jazz");
    EXPECT_EQ(info.year, 2001);
    EXPECT_EQ(info.track, 9);
    EXPECT_NEAR(info.duration, 2.0, 0.5);  // both sources, in whole 10000-sample frames
    // The tag does not disturb decoding by FFmpeg.
    EXPECT_GE(Probe(dir + "/out.ape").seconds, 1.8);
}
