// The Converter with the Windows Media back-end installed.
#include <gtest/gtest.h>

#include <cmath>

#include "converter.h"
#include "media_fixtures.h"
#include "media_probe.h"
#include "platform_backends.h"
#include "wm_test_support.h"

namespace {

int Crossings(const std::vector<int16_t>& pcm, int channels, size_t from, size_t count)
{
    int n = 0;
    for (size_t i = from; i + 1 < from + count && (i + 1) * channels < pcm.size(); ++i)
        if ((pcm[i * channels] < 0) != (pcm[(i + 1) * channels] < 0)) ++n;
    return n;
}

struct Progress {
    int calls = 0;
    double lastLength = 0;
};

void OnProgress(double, double length, void* user)
{
    auto* p = static_cast<Progress*>(user);
    ++p->calls;
    p->lastLength = length;
}

}  // namespace

TEST(WmConverter, WmaToMp3AndWavToWma)
{
    InstallPlatformBackends();
    std::string dir = WmTestDir();
    std::string wma = MakeWma(dir + "/in.wma", 3.0, 44100, 2, "-metadata title=Song -metadata artist=Singer");
    Converter converter;
    Progress progress;
    converter.progressCallback = OnProgress;
    converter.progressUser = &progress;
    ASSERT_EQ(converter.AddSource(wma.c_str(), -1), kOk);
    ASSERT_EQ(converter.SetOutput((dir + "/out.mp3").c_str(), 0, 0), kOk);
    ASSERT_EQ(converter.Convert(false), kOk);
    EXPECT_GT(progress.calls, 5);
    EXPECT_EQ(progress.lastLength, 3.0);
    ProbeResult mp3 = Probe(dir + "/out.mp3");
    ASSERT_TRUE(mp3.ok);
    EXPECT_EQ(mp3.codec.rfind("mp3", 0), 0u) << mp3.codec;
    EXPECT_NEAR(mp3.seconds, 3.0, 0.3);
    std::vector<int16_t> decoded = DecodePcm(dir + "/out.mp3");
    EXPECT_NEAR(Crossings(decoded, 2, 44100, 44100), 880, 20);  // still the 440 Hz tone

    // wav to wma with the dialog's choice: encoder 0, the "128 kbps, 44 kHz, stereo CBR" quality.
    std::vector<std::string> encoders, qualities;
    ASSERT_EQ(converter.ListEncoders("probe.wma", encoders), 2);
    ASSERT_GT(converter.ListQualities("probe.wma", 0, qualities), 0);
    int32_t quality = -1;
    for (size_t i = 0; i < qualities.size(); ++i)
        if (qualities[i].rfind("128 kbps, 44 kHz, stereo CBR", 0) == 0 && quality < 0) quality = static_cast<int32_t>(i);
    ASSERT_GE(quality, 0);
    std::string wav = MakeTone(dir + "/in.wav", 2.0, 48000, 1, "", 1000);
    ASSERT_EQ(converter.AddSource(wav.c_str(), -1), kOk);
    ASSERT_EQ(converter.SetOutput((dir + "/out.wma").c_str(), 0, quality), kOk);
    ASSERT_EQ(converter.Convert(false), kOk);
    EXPECT_EQ(converter.outputSampleRate(), 44100);
    EXPECT_EQ(converter.outputChannels(), 2);
    ProbeResult out = Probe(dir + "/out.wma");
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(out.codec, "wmav2");
    EXPECT_EQ(out.sampleRate, 44100);
    EXPECT_EQ(out.channels, 2);
    EXPECT_NEAR(out.seconds, 2.0, 0.3);
    std::vector<int16_t> wmaPcm = DecodePcm(dir + "/out.wma");
    EXPECT_NEAR(Crossings(wmaPcm, 2, 22050, 44100), 2000, 40);

    // wma to wma keeps the tags of the source.
    ASSERT_EQ(converter.AddSource(wma.c_str(), -1), kOk);
    ASSERT_EQ(converter.SetOutput((dir + "/copy.wma").c_str(), 0, quality), kOk);
    ASSERT_EQ(converter.Convert(false), kOk);
    ProbeResult copy = Probe(dir + "/copy.wma");
    EXPECT_NEAR(copy.seconds, 3.0, 0.3);
}

TEST(WmConverter, CancelCutAndBadChoices)
{
    InstallPlatformBackends();
    std::string dir = WmTestDir();
    std::string wma = MakeWma(dir + "/long.wma", 20.0, 44100, 2);
    Converter converter;
    converter.progressCallback = [](double, double, void* user) { static_cast<Converter*>(user)->Cancel(); };
    converter.progressUser = &converter;
    ASSERT_EQ(converter.AddSource(wma.c_str(), -1), kOk);
    ASSERT_EQ(converter.SetOutput((dir + "/cancel.wav").c_str(), 0, 0), kOk);
    EXPECT_EQ(converter.Convert(false), -7);
    converter.progressCallback = nullptr;

    ASSERT_EQ(converter.AddSource(wma.c_str(), -1), kOk);
    ASSERT_EQ(converter.SetOutput((dir + "/cut.wav").c_str(), 0, 0), kOk);
    ASSERT_EQ(converter.ConvertRange(5.0, 8.0), kOk);
    ProbeResult cut = Probe(dir + "/cut.wav");
    EXPECT_GE(cut.seconds, 4.0);
    EXPECT_LT(cut.seconds, 4.0 + 0.3);

    // An empty quality list gives index -1: the sink cannot be opened.
    std::string wav = MakeTone(dir + "/in.wav", 0.5);
    ASSERT_EQ(converter.AddSource(wav.c_str(), -1), kOk);
    ASSERT_EQ(converter.SetOutput((dir + "/none.wma").c_str(), 0, -1), kOk);
    EXPECT_EQ(converter.Convert(false), -1);
    EXPECT_FALSE(::Run("test -e " + Quote(dir + "/none.wma")));

    std::string video = dir + "/video.asf";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -f lavfi -i 'testsrc=d=1:s=64x48' -c:v wmv2 -an " + Quote(video)));
    ASSERT_EQ(converter.AddSource(video.c_str(), -1), kOk);
    ASSERT_EQ(converter.SetOutput((dir + "/v.mp3").c_str(), 0, 0), kOk);
    EXPECT_EQ(converter.Convert(false), -1);
}
