// WriteTags: ID3v1 written by TagFileSimple, read back by GetMediaInfo, audio left alone.
#include "MACDll.h"
#include "converter.h"
#include "file_bytes.h"
#include "id3_genres.h"
#include "media_fixtures.h"
#include "media_probe.h"
#include "mp3_scanner.h"
#include "code_page_scope.h"

#include <gtest/gtest.h>

#include <cstring>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
MediaInfo Tags(const char* title, const char* artist, int year, int track, const char* genre)
{
    MediaInfo info;
    ClearMediaInfo(info);
    CopyField(info.title, title);
    CopyField(info.artist, artist);
    CopyField(info.album, "Album One");
    CopyField(info.comment, "a comment");
    CopyField(info.genre, genre);
    info.year = year;
    info.track = track;
    return info;
}
}  // namespace

TEST(WriteTags, RoundTripThroughGetMediaInfo)
{
    const std::string dir = TestDir();
    const std::string files[] = {
        MakeTone(dir + "/plain.mp3", 3, 44100, 2, "-b:a 128k -id3v2_version 0"),
        MakeTone(dir + "/tagged.mp3", 3, 44100, 2, "-b:a 128k -metadata title=OldTitle -metadata artist=OldArtist"),
        MakeTone(dir + "/tone.mp2", 3, 48000, 2, "-c:a mp2"),
        MakeTone(dir + "/upper.MP3", 2, 44100, 1, "-b:a 64k"),
    };
    for (const auto& path : files) {
        const std::string before = ReadBytes(path);
        const std::vector<int16_t> pcmBefore = DecodePcm(path);
        Converter c;
        MediaInfo info = Tags("New Title", "New Artist", 2003, 7, "Rock");
        ASSERT_EQ(c.WriteTags(path.c_str(), &info), 0) << path;
        const std::string after = ReadBytes(path);
        ASSERT_EQ(after.size(), before.size() + 128) << path;
        EXPECT_EQ(after.compare(0, before.size(), before), 0) << "audio bytes changed: " << path;
        EXPECT_EQ(DecodePcm(path), pcmBefore) << path;

        MediaInfo read;
        ASSERT_EQ(c.GetMediaInfo(path.c_str(), &read), 0);
        EXPECT_STREQ(read.title, "New Title") << path;
        EXPECT_STREQ(read.artist, "New Artist");
        EXPECT_STREQ(read.album, "Album One");
        EXPECT_STREQ(read.comment, "a comment");
        EXPECT_STREQ(read.genre, "Rock");
        EXPECT_EQ(read.year, 2003);
        EXPECT_EQ(read.track, 7);

        // A second write replaces the tag in place.
        info = Tags("Second", "Other", 0, 0, "Psychadelic");
        ASSERT_EQ(c.WriteTags(path.c_str(), &info), 0);
        const std::string again = ReadBytes(path);
        ASSERT_EQ(again.size(), after.size());
        EXPECT_EQ(again.compare(0, before.size(), before), 0);
        Mp3Scanner s;
        ASSERT_TRUE(s.readTag(path.c_str()));
        EXPECT_EQ(s.title, "Second");
        EXPECT_EQ(s.genre, 67);
        EXPECT_EQ(s.track, 0);  // ID3v1.0: no track
        EXPECT_EQ(s.year, "0");
    }
}

TEST(WriteTags, LongTextsAreCutToTheFields)
{
    const std::string dir = TestDir();
    const std::string path = MakeTone(dir + "/t.mp3", 1, 44100, 2, "-b:a 128k -id3v2_version 0");
    MediaInfo info = Tags(std::string(100, 't').c_str(), std::string(40, 'a').c_str(), 19999, 300, "No Such Genre");
    CopyField(info.comment, std::string(60, 'c').c_str());
    Converter c;
    ASSERT_EQ(c.WriteTags(path.c_str(), &info), 0);
    Mp3Scanner s;
    ASSERT_TRUE(s.scan(path.c_str()));
    EXPECT_EQ(s.title, std::string(30, 't'));
    EXPECT_EQ(s.artist, std::string(30, 'a'));
    EXPECT_EQ(s.year, "1999");           // four characters of "19999"
    EXPECT_EQ(s.comment, std::string(30, 'c'));  // a track above 255 is not written
    EXPECT_EQ(s.track, 0);
    EXPECT_EQ(s.genre, 255);
    EXPECT_TRUE(s.flags & Mp3Scanner::kHasFrames);

    // Fields filled to the last byte without a NUL are read only within themselves.
    std::memset(info.title, 'x', sizeof info.title);
    std::memset(info.genre, 'g', sizeof info.genre);
    ASSERT_EQ(c.WriteTags(path.c_str(), &info), 0);
    ASSERT_TRUE(s.readTag(path.c_str()));
    EXPECT_EQ(s.title, std::string(30, 'x'));
    EXPECT_EQ(s.genre, 255);
}

TEST(WriteTags, ExtensionsWithoutAWriter)
{
    const std::string dir = TestDir();
    const std::string ogg = MakeTone(dir + "/t.ogg", 1, 44100, 2, "-c:a libvorbis");
    const std::string wma = MakeTone(dir + "/t.wma", 1, 44100, 2, "-c:a wmav2");
    const std::string wav = MakeTone(dir + "/t.wav", 1);
    Converter c;
    MediaInfo info = Tags("x", "y", 1, 1, "Rock");
    for (const auto& path : {ogg, wma, wav}) {
        const std::string before = ReadBytes(path);
        EXPECT_EQ(c.WriteTags(path.c_str(), &info), -11) << path;
        EXPECT_EQ(ReadBytes(path), before);
    }
}

TEST(WriteTags, FailuresLeaveTheFileUntouched)
{
    const std::string dir = TestDir();
    Converter c;
    MediaInfo info = Tags("x", "y", 1, 1, "Rock");
    EXPECT_EQ(c.WriteTags((dir + "/missing.mp3").c_str(), &info), -1);
    struct stat st;
    EXPECT_NE(stat((dir + "/missing.mp3").c_str(), &st), 0);  // not created
    EXPECT_EQ(c.WriteTags(nullptr, &info), -1);

    if (geteuid() != 0) {  // root writes through file modes
        const std::string ro = MakeTone(dir + "/ro.mp3", 1, 44100, 2, "-b:a 128k");
        const std::string before = ReadBytes(ro);
        chmod(ro.c_str(), 0444);
        EXPECT_EQ(c.WriteTags(ro.c_str(), &info), -1);
        EXPECT_EQ(ReadBytes(ro), before);
    }
    // /dev/full accepts the open and fails the write.
    if (stat("/dev/full", &st) == 0) {
        EXPECT_NE(TagFileSimple("/dev/full", "a", "b", "c", "d", "Rock", "1", "2", 0, 1), 0);
    }
    // A file-size limit lets only part of the appended tag through: the file is cut back.
    const std::string limited = MakeTone(dir + "/limited.mp3", 1, 44100, 2, "-b:a 128k -id3v2_version 0");
    const std::string original = ReadBytes(limited);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{static_cast<rlim_t>(original.size() + 64), static_cast<rlim_t>(original.size() + 64)};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(TagFileSimple(limited.c_str(), "a", "b", "c", "d", "Rock", "1", "2", 0, 1) == 0 ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(ReadBytes(limited), original);

    // Only the ID3v1 form is written here; an APE tag request changes nothing.
    const std::string mp3 = MakeTone(dir + "/t.mp3", 1, 44100, 2, "-b:a 128k");
    const std::string before = ReadBytes(mp3);
    EXPECT_NE(TagFileSimple(mp3.c_str(), "a", "b", "c", "d", "Rock", "1", "2", 0, 0), 0);
    EXPECT_EQ(ReadBytes(mp3), before);
}

TEST(WriteTags, TagFileSimpleKeepsOldFieldsUnlessCleared)
{
    const std::string dir = TestDir();
    const std::string path = MakeTone(dir + "/t.mp3", 1, 44100, 2, "-b:a 128k -id3v2_version 0");
    ASSERT_EQ(TagFileSimple(path.c_str(), "Artist", "Album", "Title", "Note", "jazz", "1977", "5", 0, 1), 0);
    // Null fields keep what the tag held.
    ASSERT_EQ(TagFileSimple(path.c_str(), nullptr, nullptr, "Renamed", nullptr, nullptr, nullptr, nullptr, 0, 1), 0);
    Mp3Scanner s;
    ASSERT_TRUE(s.readTag(path.c_str()));
    EXPECT_EQ(s.title, "Renamed");
    EXPECT_EQ(s.artist, "Artist");
    EXPECT_EQ(s.comment, "Note");
    EXPECT_EQ(s.track, 5);
    EXPECT_EQ(s.genre, 8);  // "Jazz", matched without regard to case
    ASSERT_EQ(TagFileSimple(path.c_str(), nullptr, nullptr, "Only", nullptr, nullptr, nullptr, nullptr, 1, 1), 0);
    ASSERT_TRUE(s.readTag(path.c_str()));
    EXPECT_EQ(s.title, "Only");
    EXPECT_EQ(s.artist, "");
    EXPECT_EQ(s.track, 0);
    EXPECT_EQ(s.genre, 255);
    EXPECT_EQ(ID3GenreNumber("Rhytmic Soul"), 118);
    EXPECT_EQ(ID3GenreNumber(""), ID3_GENRE_NONE);
    EXPECT_EQ(ID3GenreNumber(nullptr), ID3_GENRE_NONE);
}

TEST(WriteTags, CutsTextsOnlyBetweenCharacters)
{
    const std::string dir = TestDir();
    const std::string path = MakeTone(dir + "/t.mp3", 1, 44100, 2, "-b:a 128k -id3v2_version 0");
    const std::string zhong = "\xD6\xD0";  // one GBK character
    std::string sixteen;
    for (int i = 0; i < 16; ++i) sixteen += zhong;
    Converter c;
    CodePageScope gbk(936);
    MediaInfo info = Tags(("a" + sixteen).c_str(), sixteen.c_str(), 2000, 3, "Pop");
    CopyField(info.comment, sixteen.c_str());
    ASSERT_EQ(c.WriteTags(path.c_str(), &info), 0);
    Mp3Scanner s;
    ASSERT_TRUE(s.readTag(path.c_str()));
    EXPECT_EQ(s.title, "a" + sixteen.substr(0, 28));   // 29 bytes: a 30th would split a character
    EXPECT_EQ(s.artist, sixteen.substr(0, 30));
    EXPECT_EQ(s.comment, sixteen.substr(0, 28));       // 28 bytes beside the track

    SetAnsiCodePage(65001);
    info = Tags("abcdefghijklmnopqrstuvwxyz12\xE4\xB8\xAD", "x", 2000, 0, "Pop");  // 29 + 3 bytes
    ASSERT_EQ(c.WriteTags(path.c_str(), &info), 0);
    ASSERT_TRUE(s.readTag(path.c_str()));
    EXPECT_EQ(s.title, "abcdefghijklmnopqrstuvwxyz12");
}
