// GetMediaInfo by extension: Ogg Vorbis comments, FFmpeg streams, the MPEG scan, the seams.
#include "code_page_scope.h"
#include "converter.h"
#include "file_bytes.h"
#include "media_fixtures.h"
#include "mp3_scanner.h"
#include "packet_durations.h"
#include "text_codepage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {
std::string Sine(double seconds) { return "-f lavfi -i sine=frequency=440:duration=" + std::to_string(seconds); }

// A RIFF WAVE file of 3 s whose format tag no decoder knows.
std::string UnknownCodecWave()
{
    auto le = [](uint32_t v, int n) {
        std::string b;
        for (int i = 0; i < n; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
        return b;
    };
    const std::string data(44100 * 4 * 3, '\0');
    const std::string fmt = le(0x7777, 2) + le(2, 2) + le(44100, 4) + le(44100 * 4, 4) + le(4, 2) + le(16, 2);
    return "RIFF" + le(static_cast<uint32_t>(4 + 8 + fmt.size() + 8 + data.size()), 4) + "WAVEfmt " +
           le(static_cast<uint32_t>(fmt.size()), 4) + fmt + "data" + le(static_cast<uint32_t>(data.size()), 4) + data;
}

}  // namespace

TEST(MediaInfo, OggVorbisCommentsInAnyCase)
{
    CodePageScope utf8(65001);
    const std::string dir = TestDir();
    const std::string upper = MakeTone(dir + "/upper.ogg", 3, 44100, 2,
                                       "-c:a libvorbis -metadata TITLE=Loud -metadata ARTIST=Band -metadata ALBUM=Rec "
                                       "-metadata DATE=2001-09-11 -metadata TRACKNUMBER=3/12 -metadata GENRE=Jazz");
    const std::string mixed = MakeTone(dir + "/mixed.ogg", 2, 22050, 1,
                                       "-c:a libvorbis -metadata TiTle=Soft -metadata ArTiSt=Duo -metadata Date=1987");
    ASSERT_NE(ReadBytes(upper).find("TITLE=Loud"), std::string::npos);
    ASSERT_NE(ReadBytes(mixed).find("ArTiSt=Duo"), std::string::npos);

    Converter c;
    MediaInfo info;
    ASSERT_EQ(c.GetMediaInfo(upper.c_str(), &info), 0);
    EXPECT_STREQ(info.formatName, "Ogg Vorbis");
    EXPECT_STREQ(info.title, "Loud");
    EXPECT_STREQ(info.artist, "Band");
    EXPECT_STREQ(info.album, "Rec");
    EXPECT_STREQ(info.genre, "Jazz");
    EXPECT_EQ(info.year, 2001);
    EXPECT_EQ(info.track, 3);
    EXPECT_NEAR(info.duration, 3.0, 0.01);

    ASSERT_EQ(c.GetMediaInfo(mixed.c_str(), &info), 0);
    EXPECT_STREQ(info.formatName, "Ogg Vorbis");
    EXPECT_STREQ(info.title, "Soft");
    EXPECT_STREQ(info.artist, "Duo");
    EXPECT_EQ(info.year, 1987);
    EXPECT_EQ(info.track, 0);
    EXPECT_STREQ(info.album, "");
    EXPECT_NEAR(info.duration, 2.0, 0.01);
}

TEST(MediaInfo, OggUtf8TitleArrivesInTheAnsiCodePage)
{
    CodePageScope gbk(936);
    const std::string path = MakeTone(TestDir() + "/zh.ogg", 1, 44100, 2,
                                      "-c:a libvorbis -metadata title=中文标题 -metadata artist=歌手");
    Converter c;
    MediaInfo info;
    ASSERT_EQ(c.GetMediaInfo(path.c_str(), &info), 0);
    EXPECT_STREQ(info.title, "\xD6\xD0\xCE\xC4\xB1\xEA\xCC\xE2");  // GBK
    EXPECT_STREQ(info.artist, "\xB8\xE8\xCA\xD6");
}

TEST(MediaInfo, NotOggVorbis)
{
    const std::string dir = TestDir();
    WriteBytes(dir + "/fake.ogg", std::string(5000, 'x'));
    Converter c;
    MediaInfo info;
    EXPECT_EQ(c.GetMediaInfo((dir + "/fake.ogg").c_str(), &info), -1);
    EXPECT_EQ(c.GetMediaInfo((dir + "/missing.ogg").c_str(), &info), -1);
    std::string ogg = ReadBytes(MakeTone(dir + "/t.ogg", 2, 44100, 2, "-c:a libvorbis"));
    WriteBytes(dir + "/cut.ogg", ogg.substr(0, 200));
    EXPECT_EQ(c.GetMediaInfo((dir + "/cut.ogg").c_str(), &info), -1);
}

TEST(MediaInfo, LastAudioStreamNamesTheFormat)
{
    const std::string dir = TestDir();
    // MPEG program streams carry no tags.
    struct Case { const char* file; const char* codecs; const char* expected; bool tagged; } cases[] = {
        {"/two.avi", "-c:v mpeg4 -c:a:0 mp2 -c:a:1 pcm_s16le", "pcm_s16le", true},
        {"/two.mkv", "-c:v mpeg4 -c:a:0 pcm_s16le -c:a:1 libvorbis", "vorbis", true},
        {"/two.mpeg", "-r 25 -c:v mpeg1video -c:a:0 mp2 -c:a:1 ac3", "ac3", false},
        {"/two.dat", "-f mpeg -r 25 -c:v mpeg1video -c:a:0 ac3 -c:a:1 mp2", "mp2", false},
    };
    for (const auto& k : cases) {
        const std::string path = dir + k.file;
        ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=160x120:rate=10:duration=4 " + Sine(4) +
                        " -f lavfi -i sine=frequency=880:duration=4 -map 0 -map 1 -map 2 " + k.codecs +
                        " -metadata title=Clip -metadata artist=Cam " + Quote(path)));
        Converter c;
        MediaInfo info;
        ASSERT_EQ(c.GetMediaInfo(path.c_str(), &info), 0) << path;
        EXPECT_STREQ(info.formatName, k.expected) << path;
        EXPECT_STREQ(info.title, k.tagged ? "Clip" : "");
        EXPECT_STREQ(info.artist, k.tagged ? "Cam" : "");
        // Whole seconds of the container.
        EXPECT_EQ(info.duration, std::floor(SumAudioPackets(path).containerSeconds)) << path;
        EXPECT_GE(info.duration, 3.0);
    }
}

TEST(MediaInfo, RealMediaKeepsItsName)
{
    const std::string dir = TestDir();
    for (const char* name : {"/a.rm", "/b.RMVB"}) {
        const std::string path = dir + name;
        ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -y " + Sine(5.5) + " -c:a ac3 -f rm " + Quote(path)));
        Converter c;
        MediaInfo info;
        ASSERT_EQ(c.GetMediaInfo(path.c_str(), &info), 0);
        EXPECT_STREQ(info.formatName, "RealMedia");
        EXPECT_EQ(info.duration, std::floor(SumAudioPackets(path).containerSeconds));
    }
}

TEST(MediaInfo, AudioStreamWithoutDecoder)
{
    const std::string dir = TestDir();
    WriteBytes(dir + "/unknown.wav", UnknownCodecWave());
    WriteBytes(dir + "/unknown.rmvb", UnknownCodecWave());
    Converter c;
    MediaInfo info;
    EXPECT_EQ(c.GetMediaInfo((dir + "/unknown.wav").c_str(), &info), -2);
    // RealMedia files keep their name and the container duration without a decoder.
    ASSERT_EQ(c.GetMediaInfo((dir + "/unknown.rmvb").c_str(), &info), 0);
    EXPECT_STREQ(info.formatName, "RealMedia");
    EXPECT_EQ(info.duration, 3.0);
}

TEST(MediaInfo, Mp3LengthComesFromTheFrameScan)
{
    const std::string dir = TestDir();
    // No Xing frame: FFmpeg's container figure is an estimate from the first bit rate.
    const std::string path = dir + "/vbr.mp3";
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -y -f lavfi -i \"aevalsrc='if(lt(t,3),0,0.5*(random(0)-0.5))':s=44100:d=6\" "
                    "-c:a libmp3lame -q:a 2 -write_xing 0 -metadata title=Wave -metadata track=4/9 "
                    "-metadata date=2010 " + Quote(path)));
    Converter c;
    MediaInfo info;
    ASSERT_EQ(c.GetMediaInfo(path.c_str(), &info), 0);
    Mp3Scanner s;
    ASSERT_TRUE(s.scan(path.c_str()));
    EXPECT_EQ(info.duration, s.length);
    PacketSum p = SumAudioPackets(path);
    EXPECT_NEAR(info.duration, p.seconds, p.frameSeconds);
    EXPECT_GT(std::fabs(p.containerSeconds - p.seconds), 1.0);  // the estimate really is off
    EXPECT_STREQ(info.formatName, "mp3float");
    EXPECT_STREQ(info.title, "Wave");
    EXPECT_EQ(info.track, 4);
    EXPECT_EQ(info.year, 2010);

    const std::string mp2 = MakeTone(dir + "/t.mp2", 3.3, 48000, 2, "-c:a mp2");
    ASSERT_EQ(c.GetMediaInfo(mp2.c_str(), &info), 0);
    EXPECT_STREQ(info.formatName, "mp2");
    EXPECT_NEAR(info.duration, 3.3, 0.05);
}

TEST(MediaInfo, Mp3WithoutFramesKeepsContainerDuration)
{
    const std::string dir = TestDir();
    // Leading junk longer than the sync search: the scan finds nothing, FFmpeg still reads the file.
    std::string frames = ReadBytes(MakeTone(dir + "/t.mp3", 5.5, 44100, 2, "-b:a 128k -id3v2_version 0 -write_xing 0"));
    const std::string path = dir + "/junk.mp3";
    WriteBytes(path, std::string(20000, '\0') + frames);
    Mp3Scanner s;
    ASSERT_TRUE(s.scan(path.c_str()));
    ASSERT_EQ(s.frameCount, 0);
    Converter c;
    MediaInfo info;
    ASSERT_EQ(c.GetMediaInfo(path.c_str(), &info), 0);
    EXPECT_EQ(info.duration, std::floor(SumAudioPackets(path).containerSeconds));
    EXPECT_GE(info.duration, 5.0);
}

TEST(MediaInfo, Mp3Id3v1TagIsReadAsItsBytes)
{
    CodePageScope gbk(936);
    const std::string dir = TestDir();
    std::string frames = ReadBytes(MakeTone(dir + "/t.mp3", 2, 44100, 2, "-b:a 128k -id3v2_version 0 -write_xing 0"));
    const std::string path = dir + "/v1.mp3";
    // GBK bytes; FFmpeg alone would read them as Latin-1.
    WriteBytes(path, frames + Id3v1Tag("\xD6\xD0\xCE\xC4", "Singer", "Disc", "1999", "note", 7, 17));
    Converter c;
    MediaInfo info;
    ASSERT_EQ(c.GetMediaInfo(path.c_str(), &info), 0);
    EXPECT_STREQ(info.title, "\xD6\xD0\xCE\xC4");
    EXPECT_STREQ(info.artist, "Singer");
    EXPECT_STREQ(info.album, "Disc");
    EXPECT_STREQ(info.comment, "note");
    EXPECT_STREQ(info.genre, "Rock");
    EXPECT_EQ(info.year, 1999);
    EXPECT_EQ(info.track, 7);

    // Beside an ID3v2 tag, an ID3v1 title that is only its first 30 bytes keeps the full text.
    const std::string title(40, 'W');
    const std::string both = MakeTone(dir + "/both.mp3", 1, 44100, 2,
                                      "-b:a 128k -write_id3v1 1 -metadata title=" + title + " -metadata artist=Full");
    ASSERT_EQ(ReadBytes(both).substr(ReadBytes(both).size() - 128, 3), "TAG");
    ASSERT_EQ(c.GetMediaInfo(both.c_str(), &info), 0);
    EXPECT_EQ(std::string(info.title), title);
    EXPECT_STREQ(info.artist, "Full");
}

TEST(MediaInfo, SeamsForWindowsMediaAndMonkeysAudio)
{
    const std::string dir = TestDir();
    const std::string wma = MakeTone(dir + "/t.wma", 1, 44100, 2, "-c:a wmav2");
    Converter c;
    MediaInfo info;
    std::memset(&info, 0x55, sizeof info);
    EXPECT_EQ(c.GetMediaInfo(wma.c_str(), &info), -10);  // no Windows Media runtime in this build
    EXPECT_EQ(info.duration, 0);
    EXPECT_EQ(info.title[0], 0);
    // The Monkey's Audio decoder decides first; a file it cannot open is -2.
    WriteBytes(dir + "/t.ape", std::string(4096, 'M'));
    EXPECT_EQ(c.GetMediaInfo((dir + "/t.ape").c_str(), &info), -2);
}

TEST(MediaInfo, HostileFiles)
{
    const std::string dir = TestDir();
    Converter c;
    MediaInfo info;
    EXPECT_EQ(c.GetMediaInfo((dir + "/missing.wav").c_str(), &info), -1);
    EXPECT_EQ(c.GetMediaInfo("", &info), -1);
    EXPECT_EQ(c.GetMediaInfo(nullptr, &info), -1);

    std::string noise(200000, '\0');
    uint32_t x = 12345;
    for (auto& ch : noise) ch = static_cast<char>((x = x * 1103515245 + 12345) >> 16);
    for (const char* name : {"/noise.mp3", "/noise.wav", "/noise.avi"}) {
        WriteBytes(dir + name, noise);
        EngineResult rc = c.GetMediaInfo((dir + name).c_str(), &info);
        EXPECT_TRUE(rc == 0 || rc == -1 || rc == -2) << name << " " << rc;
        EXPECT_TRUE(std::isfinite(info.duration) && info.duration >= 0) << name;
        EXPECT_EQ(ReadBytes(dir + name), noise);
    }

    std::string wav = ReadBytes(MakeTone(dir + "/t.wav", 2));
    WriteBytes(dir + "/cut.wav", wav.substr(0, 30));
    EXPECT_EQ(c.GetMediaInfo((dir + "/cut.wav").c_str(), &info), -1);
    // A file with no audio stream is read as empty.
    ASSERT_TRUE(::Run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=5:duration=1 -c:v mpeg4 " +
                    Quote(dir + "/video.avi")));
    ASSERT_EQ(c.GetMediaInfo((dir + "/video.avi").c_str(), &info), 0);
    EXPECT_EQ(info.duration, 0);
    EXPECT_STREQ(info.formatName, "");
}
