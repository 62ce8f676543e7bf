// Frame scanning and ID3v1 reading on MPEG audio files made by ffmpeg.
#include "file_bytes.h"
#include "media_fixtures.h"
#include "mp3_scanner.h"
#include "packet_durations.h"

#include <gtest/gtest.h>

#include <random>

namespace {
// Raw MPEG frames only: no ID3v2 header, no Xing frame, so every frame is an FFmpeg packet.
const char* kRawFrames = "-id3v2_version 0 -write_xing 0";

std::string MakeVbr(const std::string& path, const std::string& extra)
{
    // Silence then noise: the encoder picks very different bit rates for the two halves.
    std::string cmd = "ffmpeg -nostdin -v error -y -f lavfi -i \"aevalsrc='if(lt(t,3),0,0.5*(random(0)-0.5))':s=44100:d=6\" "
                      "-ac 2 -c:a libmp3lame -q:a 2 " + extra + " " + Quote(path);
    EXPECT_TRUE(::Run(cmd)) << cmd;
    return path;
}

void ExpectLengthMatchesPackets(const Mp3Scanner& s, const std::string& path)
{
    PacketSum p = SumAudioPackets(path);
    ASSERT_TRUE(p.ok) << path;
    ASSERT_GT(p.packets, 0);
    EXPECT_NEAR(s.length, p.seconds, p.frameSeconds) << path;
}
}  // namespace

TEST(Mp3Scanner, ConstantRateLayer3At128kAnd44100)
{
    std::string path = MakeTone(TestDir() + "/cbr.mp3", 7, 44100, 2, std::string("-b:a 128k ") + kRawFrames);
    Mp3Scanner s;
    ASSERT_TRUE(s.scan(path.c_str()));
    EXPECT_EQ(s.flags, Mp3Scanner::kHasFrames);
    EXPECT_EQ(s.version, 3);
    EXPECT_EQ(s.layer, 3);
    EXPECT_EQ(s.sampleRate, 44100);
    EXPECT_EQ(s.averageBitrate, 128);
    EXPECT_EQ(s.audioStart, 0);
    PacketSum p = SumAudioPackets(path);
    EXPECT_EQ(s.frameCount, p.packets);
    // Frames of 417 or 418 bytes fill the file.
    const double bytesPerFrame = static_cast<double>(ReadBytes(path).size()) / s.frameCount;
    EXPECT_GE(bytesPerFrame, 417.0);
    EXPECT_LE(bytesPerFrame, 418.0);
    EXPECT_NEAR(s.length / s.frameCount, 1152.0 / 44100, 1152.0 / 44100 * 0.005);
    ExpectLengthMatchesPackets(s, path);
}

TEST(Mp3Scanner, VariableRateLengthIsTheSumOverFrames)
{
    const std::string dir = TestDir();
    for (const std::string extra : {std::string(kRawFrames), std::string("")}) {
        std::string path = MakeVbr(dir + (extra.empty() ? "/vbr_xing.mp3" : "/vbr_raw.mp3"), extra);
        Mp3Scanner s;
        ASSERT_TRUE(s.scan(path.c_str()));
        ASSERT_TRUE(s.flags & Mp3Scanner::kHasFrames);
        ExpectLengthMatchesPackets(s, path);
        EXPECT_NEAR(s.length, 6.0, 0.1);
        // Size over the average rate is far from the length only when rates vary; a pure
        // first-frame estimate (32 kbit/s silence) would be several times too long.
        const double size = static_cast<double>(ReadBytes(path).size());
        EXPECT_GT(size * 8 / 32000, 2 * s.length);
        EXPECT_GT(s.averageBitrate, 32);
    }
}

TEST(Mp3Scanner, Mpeg2Layer3At22050And64k)
{
    std::string path = MakeTone(TestDir() + "/mpeg2.mp3", 5, 22050, 1, std::string("-b:a 64k ") + kRawFrames);
    Mp3Scanner s;
    ASSERT_TRUE(s.scan(path.c_str()));
    EXPECT_EQ(s.version, 2);
    EXPECT_EQ(s.layer, 3);
    EXPECT_EQ(s.sampleRate, 22050);
    EXPECT_EQ(s.channelMode, 3);
    EXPECT_EQ(s.averageBitrate, 64);
    PacketSum p = SumAudioPackets(path);
    EXPECT_EQ(s.frameCount, p.packets);
    // 72000 x 64 / 22050 = 208 bytes, plus padding.
    const double bytesPerFrame = static_cast<double>(ReadBytes(path).size()) / s.frameCount;
    EXPECT_GE(bytesPerFrame, 208.0);
    EXPECT_LE(bytesPerFrame, 209.0);
    EXPECT_NEAR(s.length / s.frameCount, 576.0 / 22050, 576.0 / 22050 * 0.005);
    ExpectLengthMatchesPackets(s, path);
}

TEST(Mp3Scanner, Layer2Files)
{
    const std::string dir = TestDir();
    struct Case { int rate; const char* bitRate; int version; } cases[] = {{48000, "192k", 3}, {24000, "64k", 2}};
    for (const auto& c : cases) {
        std::string path = MakeTone(dir + "/tone" + std::to_string(c.rate) + ".mp2", 4, c.rate, 2,
                                    std::string("-c:a mp2 -b:a ") + c.bitRate);
        Mp3Scanner s;
        ASSERT_TRUE(s.scan(path.c_str()));
        EXPECT_EQ(s.layer, 2);
        EXPECT_EQ(s.version, c.version);
        EXPECT_EQ(s.sampleRate, c.rate);
        PacketSum p = SumAudioPackets(path);
        EXPECT_EQ(s.frameCount, p.packets) << path;
        ExpectLengthMatchesPackets(s, path);
    }
}

TEST(Mp3Scanner, SkipsId3v2TagHoldingLargePicture)
{
    const std::string dir = TestDir();
    const std::string pic = dir + "/cover.png";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -y -f lavfi -i 'color=c=gray:s=320x240,noise=alls=100:allf=t' "
                    "-frames:v 1 " + Quote(pic)));
    ASSERT_GT(ReadBytes(pic).size(), 200000u);
    const std::string path = dir + "/cover.mp3";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -y -f lavfi -i sine=duration=5 -i " + Quote(pic) +
                    " -map 0 -map 1 -c:a libmp3lame -b:a 128k -c:v copy -id3v2_version 3 -write_xing 0"
                    " -metadata title=Covered " + Quote(path)));
    Mp3Scanner s;
    ASSERT_TRUE(s.scan(path.c_str()));
    EXPECT_GT(s.audioStart, 200000);
    ASSERT_TRUE(s.flags & Mp3Scanner::kHasFrames);
    EXPECT_EQ(s.frameCount, SumAudioPackets(path).packets);
    ExpectLengthMatchesPackets(s, path);

    // A footer flag adds 10 bytes after the tag body.
    std::string bytes = ReadBytes(path);
    std::string audio = bytes.substr(s.audioStart);
    const std::string header("ID3\x04\x00\x10\x00\x00\x00\x14", 10), footer("3DI\x04\x00\x10\x00\x00\x00\x14", 10);
    const std::string tag = header + std::string(20, '\0') + footer;
    WriteBytes(dir + "/footer.mp3", tag + audio);
    Mp3Scanner f;
    ASSERT_TRUE(f.scan((dir + "/footer.mp3").c_str()));
    EXPECT_EQ(f.audioStart, 40);
    EXPECT_EQ(f.frameCount, s.frameCount);
}

TEST(Mp3Scanner, SyncSearchGivesUpAfter10000Steps)
{
    const std::string dir = TestDir();
    std::string frames = ReadBytes(MakeTone(dir + "/t.mp3", 2, 44100, 2, std::string("-b:a 128k ") + kRawFrames));
    Mp3Scanner whole;
    ASSERT_TRUE(whole.scan((dir + "/t.mp3").c_str()));
    for (size_t junk : {size_t(10000), size_t(10001)}) {
        const std::string path = dir + "/junk" + std::to_string(junk) + ".mp3";
        WriteBytes(path, std::string(junk, '\0') + frames);
        Mp3Scanner s;
        ASSERT_TRUE(s.scan(path.c_str()));
        if (junk == 10000) {
            EXPECT_EQ(s.frameCount, whole.frameCount);
            EXPECT_DOUBLE_EQ(s.length, whole.length);
        } else {
            EXPECT_EQ(s.frameCount, 0);
            EXPECT_EQ(s.flags & Mp3Scanner::kHasFrames, 0u);
            EXPECT_EQ(s.length, 0);
        }
    }
    // The same limit holds between frames: a gap of 10,001 bytes ends the scan after the first part.
    const std::string gap = dir + "/gap.mp3";
    WriteBytes(gap, frames + std::string(10001, '\0') + frames);
    Mp3Scanner g;
    ASSERT_TRUE(g.scan(gap.c_str()));
    EXPECT_EQ(g.frameCount, whole.frameCount);
}

TEST(Mp3Scanner, ReadsId3v1AndId3v11Tags)
{
    const std::string dir = TestDir();
    const std::string audio = ReadBytes(MakeTone(dir + "/t.mp3", 1, 44100, 2, std::string("-b:a 128k ") + kRawFrames));
    struct Case { int track; const char* comment; } cases[] = {{0, "thirty characters of comment!!"}, {7, "twenty-eight chars comment!!"}};
    for (const auto& c : cases) {
        const std::string path = dir + "/tag" + std::to_string(c.track) + ".mp3";
        WriteBytes(path, audio + Id3v1Tag("A Title", "An Artist", "The Album", "1998", c.comment, c.track, 17));
        Mp3Scanner s;
        ASSERT_TRUE(s.scan(path.c_str()));
        EXPECT_EQ(s.flags, Mp3Scanner::kHasTag | Mp3Scanner::kHasFrames);
        EXPECT_EQ(s.title, "A Title");
        EXPECT_EQ(s.artist, "An Artist");
        EXPECT_EQ(s.album, "The Album");
        EXPECT_EQ(s.year, "1998");
        EXPECT_EQ(s.comment, c.comment);
        EXPECT_EQ(s.track, c.track);
        EXPECT_EQ(s.genre, 17);
        EXPECT_STREQ(Mp3Scanner::genreName(s.genre), "Rock");
        Mp3Scanner tagOnly;
        ASSERT_TRUE(tagOnly.readTag(path.c_str()));
        EXPECT_EQ(tagOnly.title, s.title);
        EXPECT_EQ(tagOnly.track, s.track);
        EXPECT_EQ(tagOnly.frameCount, 0);
    }
    // Full-width fields run to the end of the field.
    const std::string full = dir + "/full.mp3";
    WriteBytes(full, audio + Id3v1Tag(std::string(30, 'T'), std::string(30, 'A'), std::string(30, 'L'), "2024", "", 0, 255));
    Mp3Scanner f;
    ASSERT_TRUE(f.scan(full.c_str()));
    EXPECT_EQ(f.title, std::string(30, 'T'));
    EXPECT_EQ(f.artist, std::string(30, 'A'));
    EXPECT_EQ(f.album, std::string(30, 'L'));
    EXPECT_EQ(f.genre, 255);
    EXPECT_STREQ(Mp3Scanner::genreName(f.genre), "");
}

TEST(Mp3Scanner, GenreNames)
{
    EXPECT_STREQ(Mp3Scanner::genreName(0), "Blues");
    EXPECT_STREQ(Mp3Scanner::genreName(17), "Rock");
    EXPECT_STREQ(Mp3Scanner::genreName(67), "Psychadelic");
    EXPECT_STREQ(Mp3Scanner::genreName(79), "Hard Rock");
    EXPECT_STREQ(Mp3Scanner::genreName(80), "Folk");
    EXPECT_STREQ(Mp3Scanner::genreName(118), "Rhytmic Soul");
    EXPECT_STREQ(Mp3Scanner::genreName(147), "Synthpop");
    EXPECT_STREQ(Mp3Scanner::genreName(148), "");
    EXPECT_STREQ(Mp3Scanner::genreName(-1), "");
    EXPECT_STREQ(Mp3Scanner::genreName(255), "");
    for (int i = 0; i < 148; ++i) EXPECT_NE(*Mp3Scanner::genreName(i), '\0') << i;
}

TEST(Mp3Scanner, BadFiles)
{
    const std::string dir = TestDir();
    Mp3Scanner missing;
    EXPECT_FALSE(missing.scan((dir + "/none.mp3").c_str()));
    EXPECT_FALSE(missing.readTag((dir + "/none.mp3").c_str()));
    EXPECT_EQ(missing.path, dir + "/none.mp3");

    WriteBytes(dir + "/empty.mp3", "");
    Mp3Scanner empty;
    EXPECT_TRUE(empty.scan((dir + "/empty.mp3").c_str()));
    EXPECT_EQ(empty.flags, 0u);
    EXPECT_EQ(empty.genre, 255);

    // Cut inside a frame: the complete frames count, the last header too.
    std::string bytes = ReadBytes(MakeTone(dir + "/t.mp3", 3, 44100, 2, std::string("-b:a 128k ") + kRawFrames));
    const std::string cut = dir + "/cut.mp3";
    WriteBytes(cut, bytes.substr(0, bytes.size() / 2 + 100));
    Mp3Scanner t;
    ASSERT_TRUE(t.scan(cut.c_str()));
    ExpectLengthMatchesPackets(t, cut);

    // An ID3v2 header whose size runs past the end of the file.
    WriteBytes(dir + "/huge.mp3", std::string("ID3\x03\x00\x00\x7f\x7f\x7f\x7f", 10) + bytes.substr(0, 5000));
    Mp3Scanner h;
    ASSERT_TRUE(h.scan((dir + "/huge.mp3").c_str()));
    EXPECT_EQ(h.frameCount, 0);

    // Random bytes: the scan ends, every counted header took at least its own 4 bytes.
    std::mt19937 rng(7);
    std::string noise(300000, '\0');
    for (auto& c : noise) c = static_cast<char>(rng());
    WriteBytes(dir + "/noise.mp3", noise);
    Mp3Scanner n;
    ASSERT_TRUE(n.scan((dir + "/noise.mp3").c_str()));
    EXPECT_LE(n.frameCount, 300000 / 4);
    EXPECT_EQ((n.flags & Mp3Scanner::kHasFrames) != 0, n.frameCount > 0);
    EXPECT_EQ(ReadBytes(dir + "/noise.mp3"), noise);
}
