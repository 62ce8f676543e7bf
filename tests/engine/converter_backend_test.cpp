// The Converter with a back-end missing, and with a Windows Media back-end that delivers short reads.
#include "converter.h"
#include "job_helpers.h"
#include "media_fixtures.h"
#include "media_probe.h"
#include "pcm_resampler.h"
#include "inert_windows_media.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

TEST(MissingBackends, WindowsMediaIsMinusEightRealMediaMinusFive)
{
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/s.wav", 1.0);
    Converter c;
    EXPECT_EQ(ConvertOne(c, dir + "/x.wma", dir + "/o.mp3", 0), -8);
    EXPECT_EQ(ConvertOne(c, dir + "/x.ASF", dir + "/o.mp3", 0), -8);
    EXPECT_EQ(ConvertOne(c, src, dir + "/o.wma", 0), -8);
    EXPECT_EQ(ConvertOne(c, dir + "/x.rmvb", dir + "/o.mp3", 0), -5);
    EXPECT_EQ(ConvertOne(c, src, dir + "/o.mp3", 0), 0);
}

namespace {
// Delivers a fixed number of samples of a constant value in short, uneven reads.
class ScriptedWindowsMedia : public InertWindowsMedia {
public:
    int32_t totalBytes = 0, delivered = 0, rate = 44100, channels = 2;
    bool openSource(const char*) override { delivered = 0; return true; }
    int32_t sourceChannels() const override { return channels; }
    int32_t sourceSampleRate() const override { return rate; }
    uint64_t duration() const override { return 20000000; }
    int32_t readPcm(uint8_t* dst, int32_t length, bool resample, PcmResampler* r, int32_t outChannels) override
    {
        int32_t n = std::min(length, totalBytes - delivered);
        if (n <= 0) return -100;
        std::vector<int16_t> s(n / 2, 1000);
        delivered += n;
        if (!resample) {
            std::memcpy(dst, s.data(), n);
            return n;
        }
        int frames = n / (2 * channels);
        int out = r->resample(reinterpret_cast<int16_t*>(dst), length / (2 * outChannels), s.data(), frames);
        return out * 2 * outChannels;
    }
    bool seekSource(int64_t) override { return true; }
    int32_t listCodecs(std::vector<std::string>& l) override { l.push_back("Test"); return (int32_t)l.size(); }
    int32_t readTags(const char*, MediaInfo*) override { return 0; }
};

ScriptedWindowsMedia* g_scripted = nullptr;
WindowsMediaBackend* MakeScripted() { return g_scripted = new ScriptedWindowsMedia(); }

class ScriptedSource : public ::testing::Test {
protected:
    void SetUp() override { SetWindowsMediaFactory(&MakeScripted); }
    void TearDown() override { SetWindowsMediaFactory(nullptr); }
};
}  // namespace

TEST_F(ScriptedSource, ShortLastFrameIsPaddedWithSilence)
{
    std::string dir = TestDir();
    Converter c;
    std::vector<std::string> codecs;
    ASSERT_EQ(c.ListEncoders("wma", codecs), 1);  // makes the back-end
    ASSERT_NE(g_scripted, nullptr);
    c.AddSource((dir + "/in.wma").c_str(), -1);
    c.SetOutput((dir + "/o.wav").c_str(), 0, 0);
    g_scripted->totalBytes = 40000 + 1000;  // four 10000-byte WAV frames and a 1000-byte remainder
    ASSERT_EQ(c.Convert(false), 0);
    std::vector<int16_t> pcm = DecodePcm(dir + "/o.wav");
    ASSERT_EQ(pcm.size(), 25000u);  // five whole frames
    for (size_t i = 0; i < 20500; ++i) ASSERT_EQ(pcm[i], 1000) << i;
    for (size_t i = 20500; i < pcm.size(); ++i) ASSERT_EQ(pcm[i], 0) << i;
}
