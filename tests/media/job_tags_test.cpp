// The tags of a job's source reach every kind of FFmpeg output.
#include "convert_job.h"
#include "converter.h"
#include "file_bytes.h"
#include "media_fixtures.h"
#include "media_probe.h"
#include "code_page_scope.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {
const char* kSourceTags =
    "-metadata title=Song -metadata artist=Singer -metadata album=Record -metadata date=2005 "
    "-metadata track=9 -metadata genre=Blues -metadata comment=Notes -metadata copyright=Owner";

std::string Convert(Converter& c, const std::string& source, const std::string& output)
{
    EXPECT_EQ(ConvertOne(c, source, output, 0), 0) << output;
    return output;
}
}  // namespace

TEST(JobTags, ReachMp3OggAndWavOutputs)
{
    CodePageScope utf8(65001);
    const std::string dir = TestDir();
    const std::string source = MakeTone(dir + "/source.mp3", 2, 44100, 2, std::string("-b:a 128k ") + kSourceTags);
    Converter c;

    ProbeResult mp3 = Probe(Convert(c, source, dir + "/out.mp3"));
    ASSERT_TRUE(mp3.ok);
    EXPECT_EQ(mp3.tags["title"], "Song");
    EXPECT_EQ(mp3.tags["artist"], "Singer");
    EXPECT_EQ(mp3.tags["album"], "Record");
    EXPECT_EQ(mp3.tags["date"], "2005");
    EXPECT_EQ(mp3.tags["track"], "9");
    EXPECT_EQ(mp3.tags["genre"], "Blues");
    EXPECT_EQ(mp3.tags["comment"], "Notes");
    EXPECT_EQ(mp3.tags["copyright"], "Owner");
    EXPECT_NEAR(mp3.seconds, 2.0, 0.1);

    // Ogg Vorbis comments under their own names, read back by libvorbisfile.
    const std::string ogg = Convert(c, source, dir + "/out.ogg");
    std::string oggBytes = ReadBytes(ogg);
    for (auto& ch : oggBytes) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (const char* comment : {"title=song", "artist=singer", "album=record", "date=2005", "tracknumber=9", "genre=blues"})
        EXPECT_NE(oggBytes.find(comment), std::string::npos) << comment;
    MediaInfo info;
    ASSERT_EQ(c.GetMediaInfo(ogg.c_str(), &info), 0);
    EXPECT_STREQ(info.title, "Song");
    EXPECT_STREQ(info.artist, "Singer");
    EXPECT_STREQ(info.album, "Record");
    EXPECT_STREQ(info.genre, "Blues");
    EXPECT_EQ(info.year, 2005);
    EXPECT_EQ(info.track, 9);
    EXPECT_NEAR(Probe(ogg).seconds, 2.0, 0.1);

    ProbeResult wav = Probe(Convert(c, source, dir + "/out.wav"));
    ASSERT_TRUE(wav.ok);
    EXPECT_EQ(wav.container, "wav");
    EXPECT_EQ(wav.tags["title"], "Song");
    EXPECT_EQ(wav.tags["artist"], "Singer");
    EXPECT_EQ(wav.tags["album"], "Record");
    EXPECT_EQ(wav.tags["date"], "2005");
    EXPECT_EQ(wav.tags["genre"], "Blues");
    EXPECT_EQ(wav.tags["comment"], "Notes");
    EXPECT_EQ(wav.tags["copyright"], "Owner");
    const std::string wavBytes = ReadBytes(dir + "/out.wav");
    EXPECT_NE(wavBytes.find("INFO"), std::string::npos);
    EXPECT_NE(wavBytes.find("INAM"), std::string::npos);
}
