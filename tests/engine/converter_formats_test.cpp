// Each output format at several presets, decoded back by FFmpeg.
#include "converter.h"
#include "job_helpers.h"
#include "media_fixtures.h"
#include "media_probe.h"
#include "text_codepage.h"

#include <gtest/gtest.h>

namespace {
struct FormatCase {
    const char* ext;
    int quality;
    const char* codec;
    int rate;
    int channels;
    int frameBytes;
    bool resampled;  // from a 44100 Hz stereo source
};

void PrintTo(const FormatCase& f, std::ostream* os) { *os << f.ext << " row " << f.quality; }

class OutputFormats : public ::testing::TestWithParam<FormatCase> {
protected:
    static std::string source_;
    static void SetUpTestSuite()
    {
        source_ = TestDir() + "/tagged source.wav";
        MakeTone(source_, 4.0, 44100, 2,
                 "-metadata title='Song Title' -metadata artist='The Artist' -metadata album='Album X' "
                 "-metadata date=1999 -metadata track=7 -metadata genre=Rock -metadata comment='c1' "
                 "-metadata copyright='(c) me'");
    }
};
std::string OutputFormats::source_;

TEST_P(OutputFormats, DecodesBackWithPresetFormatLengthAndTags)
{
    const FormatCase& f = GetParam();
    Converter c;
    std::string out = TestDir() + "/out." + f.ext;
    ASSERT_EQ(ConvertOne(c, source_, out, f.quality), 0);
    EXPECT_EQ(c.frameBytes(), 0);  // per-job state is reset
    ProbeResult p = Probe(out);
    ASSERT_TRUE(p.ok) << out;
    EXPECT_EQ(p.codec, f.codec);
    EXPECT_EQ(p.sampleRate, f.rate);
    EXPECT_EQ(p.channels, f.channels);
    EXPECT_EQ(c.lastJobResampled(), f.resampled);
    // All but the dropped partial last frame is there; nothing is lost to encoder delay.
    const double frameSeconds = f.frameBytes / (2.0 * f.channels * f.rate);
    EXPECT_GT(p.seconds, 4.0 - frameSeconds - 0.03) << f.ext << " q" << f.quality;
    EXPECT_LT(p.seconds, 4.0 + 0.06);
    const std::string ext = f.ext;
    if (ext == "mp2") return;  // a raw MPEG audio stream has no place for tags
    EXPECT_EQ(p.tags["title"], "Song Title");
    EXPECT_EQ(p.tags["artist"], "The Artist");
    if (ext != "wav") {
        EXPECT_EQ(p.tags["album"], "Album X");
        EXPECT_EQ(p.tags["genre"], "Rock");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presets, OutputFormats,
    ::testing::Values(FormatCase{"mp3", 0, "mp3float", 44100, 2, 4608, false},
                      FormatCase{"mp3", 15, "mp3float", 44100, 1, 2304, true},
                      FormatCase{"mp3", 16, "mp3float", 48000, 1, 2304, true},
                      FormatCase{"mp3", 14, "mp3float", 32000, 2, 4608, true},
                      FormatCase{"mp2", 1, "mp2", 48000, 2, 4608, true},
                      FormatCase{"mp2", 15, "mp2", 44100, 1, 2304, true},
                      FormatCase{"ogg", 0, "vorbis", 44100, 2, 256, false},
                      FormatCase{"ogg", 17, "vorbis", 32000, 1, 128, true},
                      FormatCase{"wav", 0, "pcm_s16le", 44100, 2, 10000, false},
                      FormatCase{"wav", 4, "pcm_s16le", 44100, 1, 10000, true},
                      FormatCase{"wav", 6, "pcm_s16le", 22050, 1, 10000, true}),
    [](const auto& info) { return std::string(info.param.ext) + "_" + std::to_string(info.param.quality); });

struct FrameCase { const char* ext; int quality; int frameBytes; };

void PrintTo(const FrameCase& f, std::ostream* os) { *os << f.ext << " row " << f.quality; }

class FrameSizes : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameSizes, FrameBytesFollowEncoder)
{
    const FrameCase& f = GetParam();
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/s.wav", 1.0);
    Converter c;
    int seen = 0;
    struct Ctx { Converter* c; int* seen; } ctx{&c, &seen};
    c.progressCallback = [](double, double, void* p) {
        auto* x = static_cast<Ctx*>(p);
        if (!*x->seen) *x->seen = x->c->frameBytes();
    };
    c.progressUser = &ctx;
    ASSERT_EQ(ConvertOne(c, src, dir + "/o." + f.ext, f.quality), 0);
    EXPECT_EQ(seen, f.frameBytes);
}

INSTANTIATE_TEST_SUITE_P(Encoders, FrameSizes,
                         ::testing::Values(FrameCase{"mp3", 0, 4608}, FrameCase{"mp3", 15, 2304},
                                           FrameCase{"mp2", 0, 4608}, FrameCase{"mp2", 20, 2304},
                                           FrameCase{"wav", 0, 10000}, FrameCase{"wav", 4, 10000}),
                         [](const auto& info) {
                             return std::string(info.param.ext) + "_" + std::to_string(info.param.quality);
                         });

TEST(OggTags, SixValuesAsUtf8WithoutCopyrightOrComment)
{
    SetAnsiCodePage(936);
    std::string dir = TestDir();
    // Tags written in UTF-8 by ffmpeg; the engine holds them as GBK and must give UTF-8 back out.
    std::string src = MakeTone(dir + "/s.mp3", 1.0, 44100, 2,
                               "-metadata title='音乐' -metadata artist='歌手' -metadata album='专辑' "
                               "-metadata date=2003 -metadata track=5 -metadata genre=Pop "
                               "-metadata copyright=Mine -metadata comment=Note");
    Converter c;
    ASSERT_EQ(ConvertOne(c, src, dir + "/o.ogg", 0), 0);
    ProbeResult p = Probe(dir + "/o.ogg");
    EXPECT_EQ(p.tags["title"], "音乐");
    EXPECT_EQ(p.tags["artist"], "歌手");
    EXPECT_EQ(p.tags["album"], "专辑");
    EXPECT_EQ(p.tags["date"], "2003");
    EXPECT_EQ(p.tags["track"], "5");
    EXPECT_EQ(p.tags["genre"], "Pop");
    EXPECT_EQ(p.tags.count("copyright"), 0u);
    EXPECT_EQ(p.tags.count("comment"), 0u);
    EXPECT_EQ(p.tags.count("description"), 0u);
}

TEST(OggTags, UntaggedSourceGivesEmptyTags)
{
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/plain.wav", 1.0, 44100, 2, "-map_metadata -1 -fflags +bitexact");
    Converter c;
    ASSERT_EQ(ConvertOne(c, src, dir + "/o.ogg", 0), 0);
    ProbeResult p = Probe(dir + "/o.ogg");
    EXPECT_EQ(p.tags.count("title"), 0u);
    EXPECT_EQ(p.tags.count("artist"), 0u);
    EXPECT_EQ(p.tags.count("date"), 0u);
}

TEST(Mp3Output, FirstFramesOfLameMayBeEmptyButAudioIsComplete)
{
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/s.wav", 2.0, 44100, 2, "", 1000);
    Converter c;
    ASSERT_EQ(ConvertOne(c, src, dir + "/o.mp3", 0), 0);
    int rate = 0, ch = 0;
    std::vector<int16_t> pcm = DecodePcm(dir + "/o.mp3", &rate, &ch);
    ASSERT_EQ(ch, 2);
    // The tone is there at its pitch to the end.
    std::vector<int16_t> tail(pcm.end() - 2 * 22050, pcm.end() - 2 * 4410);
    EXPECT_NEAR(ZeroCrossingFrequency(tail, 2, rate), 1000, 15);
}
}  // namespace

TEST(OggOutput, BitRatesLibvorbisCannotDoAreEncoderFailures)
{
    // libvorbis has no 192 kbit/s mode for 32 kHz mono: the encoder does not open.
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/s.wav", 1.0);
    Converter c;
    EXPECT_EQ(ConvertOne(c, src, dir + "/o.ogg", 20), -3);
    EXPECT_EQ(ConvertOne(c, src, dir + "/o.ogg", 27), -3);
    EXPECT_EQ(ConvertOne(c, src, dir + "/o.ogg", 17), 0);
}
