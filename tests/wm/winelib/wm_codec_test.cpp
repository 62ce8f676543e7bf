// WmCodec on the runtime layer: source, sink and tags as the engine uses them.
#include <gtest/gtest.h>

#include <cstring>

#include "media_fixtures.h"
#include "media_probe.h"
#include "pcm_resampler.h"
#include "wm_codec.h"
#include "wm_test_support.h"

namespace {

int64_t ReadAll(WmCodec& codec, int32_t request, std::vector<uint8_t>* pcm = nullptr)
{
    std::vector<uint8_t> buffer(static_cast<size_t>(request));
    int64_t total = 0;
    for (;;) {
        int32_t got = codec.readPcm(buffer.data(), request, false, nullptr, 2);
        if (got <= 0) return got == -100 ? total : got;
        if (pcm) pcm->insert(pcm->end(), buffer.begin(), buffer.begin() + got);
        total += got;
    }
}

}  // namespace

TEST(WmCodecSource, DecodesTheFileAndDeliversItsLastPartialBlock)
{
    std::string dir = WmTestDir();
    std::string wma = MakeWma(dir + "/tone.wma", 2.5, 44100, 2);
    std::vector<int16_t> reference = DecodePcm(wma);
    WmCodec codec;
    ASSERT_TRUE(codec.initialize());
    ASSERT_TRUE(codec.openSource(wma.c_str()));
    EXPECT_EQ(codec.sourceChannels(), 2);
    EXPECT_EQ(codec.sourceSampleRate(), 44100);
    EXPECT_NEAR(codec.duration() / 1e7, 2.5, 0.1);
    std::vector<uint8_t> pcm;
    EXPECT_EQ(ReadAll(codec, 40000, &pcm), static_cast<int64_t>(reference.size() * 2));
    EXPECT_EQ(0, memcmp(pcm.data(), reference.data(), std::min(pcm.size(), reference.size() * 2)));
    codec.closeSource();

    // Requests smaller than one sample are served from what is left over, in order.
    ASSERT_TRUE(codec.openSource(wma.c_str()));
    std::vector<uint8_t> pieces;
    EXPECT_EQ(ReadAll(codec, 100, &pieces), static_cast<int64_t>(pcm.size()));
    EXPECT_EQ(pieces, pcm);
    codec.closeSource();
}

TEST(WmCodecSource, LastAudioStreamNoDurationAndVideoOnly)
{
    std::string dir = WmTestDir();
    std::string two = dir + "/two.wma";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=f=440:d=2:sample_rate=22050' -f lavfi -i "
                      "'sine=f=880:d=1:sample_rate=44100' -map 0 -map 1 -c:a wmav2 -b:a 64k -ac:0 1 -ac:1 2 " +
                      Quote(two)));
    WmCodec codec;
    ASSERT_TRUE(codec.initialize());
    ASSERT_TRUE(codec.openSource(two.c_str()));
    // The stream listed last is decoded, and the format is that stream's own.
    EXPECT_EQ(codec.audioStreamNumber(), 2);
    EXPECT_EQ(codec.sourceChannels(), 2);
    EXPECT_EQ(codec.sourceSampleRate(), 44100);
    EXPECT_NEAR(ReadAll(codec, 40000) / 4.0 / 44100, 1.0, 0.1);
    codec.closeSource();

    std::string streamed = dir + "/streamed.asf";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -f lavfi -i 'sine=d=1' -c:a wmav2 -b:a 64k -f asf pipe:1 > " +
                      Quote(streamed)));
    ASSERT_TRUE(codec.openSource(streamed.c_str()));
    EXPECT_EQ(codec.duration(), 0u);
    EXPECT_GT(ReadAll(codec, 40000), 80000);
    codec.closeSource();

    std::string video = dir + "/video.asf";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -f lavfi -i 'testsrc=d=1:s=64x48' -c:v wmv2 -an " + Quote(video)));
    EXPECT_FALSE(codec.openSource(video.c_str()));
    EXPECT_FALSE(codec.openSource((dir + "/missing.wma").c_str()));
    // The reader is usable again after failed opens.
    ASSERT_TRUE(codec.openSource(two.c_str()));
    codec.closeSource();
}

TEST(WmCodecSource, StopSeekResampleAndDamagedFiles)
{
    std::string dir = WmTestDir();
    std::string wma = MakeWma(dir + "/tone.wma", 4.0, 22050, 1);
    WmCodec codec;
    ASSERT_TRUE(codec.initialize());
    ASSERT_TRUE(codec.openSource(wma.c_str()));
    std::vector<uint8_t> buffer(40000);
    ASSERT_EQ(codec.readPcm(buffer.data(), 40000, false, nullptr, 1), 40000);
    codec.setStopRequested(true);
    EXPECT_EQ(codec.readPcm(buffer.data(), 40000, false, nullptr, 1), -7);
    codec.closeSource();
    // Opening clears the stop.
    ASSERT_TRUE(codec.openSource(wma.c_str()));
    ASSERT_TRUE(codec.seekSource(2500000));
    int64_t rest = ReadAll(codec, 20000);
    EXPECT_NEAR(rest / 2.0 / 22050, 1.5, 0.12);
    codec.closeSource();

    // Up-sampling 22 kHz mono to 48 kHz stereo needs more than four times the sample.
    ASSERT_TRUE(codec.openSource(wma.c_str()));
    PcmResampler resampler;
    ASSERT_TRUE(resampler.open(2, 1, 48000, 22050));
    int64_t out = 0;
    std::vector<uint8_t> big(96000);
    for (int32_t got; (got = codec.readPcm(big.data(), 96000, true, &resampler, 2)) > 0;) out += got;
    EXPECT_NEAR(out / 4.0 / 48000, 4.0, 0.15);
    codec.closeSource();

    // A file cut in the middle ends cleanly; one with damaged packets too.
    std::vector<uint8_t> bytes = FileBytes(wma);
    std::string truncated = dir + "/truncated.wma";
    ASSERT_TRUE(::Run("head -c " + std::to_string(bytes.size() / 2) + " " + Quote(wma) + " > " + Quote(truncated)));
    ASSERT_TRUE(codec.openSource(truncated.c_str()));
    int64_t half = ReadAll(codec, 20000);
    EXPECT_GT(half, 0);
    EXPECT_LT(half, static_cast<int64_t>(4.0 * 22050 * 2));
    codec.closeSource();
    std::string damaged = dir + "/damaged.wma";
    ASSERT_TRUE(::Run("cp " + Quote(wma) + " " + Quote(damaged) + " && head -c 20000 /dev/urandom | dd of=" +
                      Quote(damaged) + " bs=1 seek=" + std::to_string(bytes.size() / 3) + " conv=notrunc 2>/dev/null"));
    if (codec.openSource(damaged.c_str())) {
        EXPECT_GE(ReadAll(codec, 20000), 0);
        codec.closeSource();
    }
    std::string garbage = dir + "/garbage.wma";
    ASSERT_TRUE(::Run("head -c 5000 /dev/urandom > " + Quote(garbage)));
    EXPECT_FALSE(codec.openSource(garbage.c_str()));
}

TEST(WmCodecSink, ListsAndOpenSinkFollowTheEnumeration)
{
    WmCodec codec;
    ASSERT_TRUE(codec.initialize());
    std::vector<std::string> codecs;
    ASSERT_EQ(codec.listCodecs(codecs), 2);
    EXPECT_EQ(codecs[0], "Windows Media Audio V2");
    std::vector<std::string> formats;
    int32_t n = codec.listFormats(0, formats);
    ASSERT_GT(n, 10);
    // Constant formats once: the refused variable-bit-rate mode adds nothing.
    for (int32_t i = 0; i < n; ++i)
        for (int32_t j = i + 1; j < n; ++j) EXPECT_NE(formats[i], formats[j]);
    int32_t q128 = -1;
    for (int32_t i = 0; i < n; ++i)
        if (formats[i].rfind("128 kbps, 44 kHz, stereo CBR", 0) == 0) q128 = i;
    ASSERT_GE(q128, 0);
    std::vector<std::string> none;
    EXPECT_EQ(codec.listFormats(7, none), 0);
    EXPECT_EQ(codec.listFormats(-1, none), 0);

    std::string dir = WmTestDir();
    ASSERT_TRUE(codec.openSink((dir + "/a.wma").c_str(), 0, q128));
    EXPECT_EQ(codec.sinkBitrate(), 128000);
    EXPECT_EQ(codec.sinkSampleRate(), 44100);
    EXPECT_EQ(codec.sinkChannels(), 2);
    for (int32_t i = 0; i < n; ++i) {
        ASSERT_TRUE(codec.openSink((dir + "/b.wma").c_str(), 0, i)) << formats[i];
        std::string expect = std::to_string(codec.sinkBitrate() / 1000) + " kbps, " +
                             std::to_string(codec.sinkSampleRate() / 1000) + " kHz, " +
                             (codec.sinkChannels() == 1 ? "mono" : "stereo") + " CBR";
        EXPECT_EQ(formats[i], expect);
    }
    EXPECT_FALSE(codec.openSink((dir + "/c.wma").c_str(), 0, -1));
    EXPECT_FALSE(codec.openSink((dir + "/c.wma").c_str(), 0, n));
    EXPECT_FALSE(codec.openSink((dir + "/c.wma").c_str(), 5, 0));
}

TEST(WmCodecSink, WritesTagsAndPcmIntoARealFile)
{
    std::string dir = WmTestDir();
    WmCodec codec;
    ASSERT_TRUE(codec.initialize());
    std::vector<std::string> formats;
    codec.listFormats(0, formats);
    int32_t mono = -1;
    for (size_t i = 0; i < formats.size(); ++i)
        if (formats[i] == "32 kbps, 22 kHz, mono CBR") mono = static_cast<int32_t>(i);
    ASSERT_GE(mono, 0);
    std::string out = dir + "/sink.wma";
    ASSERT_TRUE(codec.openSink(out.c_str(), 0, mono));
    MediaInfo info{};
    strcpy(info.title, "abc");
    strcpy(info.artist, "Artist");
    strcpy(info.album, "Album");
    codec.writeHeaderTags(info);
    ASSERT_TRUE(codec.beginWriting());
    std::vector<uint8_t> block(20000, 0);
    for (int i = 0; i < 10; ++i) {
        for (size_t s = 0; s < block.size(); s += 2) {
            int16_t v = static_cast<int16_t>(((s / 2) % 50 < 25) ? 5000 : -5000);
            memcpy(&block[s], &v, 2);
        }
        ASSERT_TRUE(codec.writePcm(block.data(), 20000, static_cast<int64_t>(i) * 10000 * 1000000 / 22050));
    }
    ASSERT_TRUE(codec.finishWriting());
    ProbeResult probe = Probe(out);
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.sampleRate, 22050);
    EXPECT_EQ(probe.channels, 1);
    EXPECT_NEAR(probe.seconds, 100000.0 / 22050, 0.15);
    EXPECT_EQ(probe.tags["title"], "abc");
    EXPECT_EQ(probe.tags["artist"], "Artist");
    EXPECT_EQ(probe.tags["album"], "Album");

    // The title of three letters is stored as 6 bytes of UTF-16 plus the terminator, and read back.
    MediaInfo back{};
    ASSERT_EQ(codec.readTags(out.c_str(), &back), 0);
    EXPECT_STREQ(back.title, "abc");
    EXPECT_STREQ(back.artist, "Artist");
    EXPECT_STREQ(back.copyright, "");
    EXPECT_STREQ(back.album, "Album");
    EXPECT_STREQ(back.formatName, "Windows Media Audio");
    EXPECT_NEAR(back.duration, 100000.0 / 22050, 0.15);
}

TEST(WmCodecSource, NativeUtf8AndDosPaths)
{
    std::string dir = WmTestDir();
    std::string named = MakeWma(dir + "/音乐 file.wma", 1.0, 44100, 2, "-metadata title=Path");
    WmCodec codec;
    ASSERT_TRUE(codec.initialize());
    ASSERT_TRUE(codec.openSource(named.c_str()));
    codec.closeSource();
    // The same file seen from the Win32 side: Z: maps the Unix root.
    std::string plain = MakeWma(dir + "/plain.wma", 1.0);
    std::string dos = "Z:" + plain;
    for (char& c : dos)
        if (c == '/') c = '\\';
    ASSERT_TRUE(codec.openSource(dos.c_str()));
    EXPECT_EQ(codec.sourceChannels(), 2);
    codec.closeSource();
    MediaInfo info{};
    ASSERT_EQ(codec.readTags(named.c_str(), &info), 0);
    EXPECT_STREQ(info.title, "Path");
    MediaInfo edit{};
    strcpy(edit.title, "Dos");
    std::string dosNamed = "Z:" + plain;
    for (char& c : dosNamed)
        if (c == '/') c = '\\';
    ASSERT_EQ(codec.rewriteTags(dosNamed.c_str(), &edit), 0);
    EXPECT_EQ(Probe(plain).tags["title"], "Dos");
}
