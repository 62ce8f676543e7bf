// Bad inputs and impossible outputs: clear codes, no crash, no hang, sources untouched.
#include "converter.h"
#include "job_helpers.h"
#include "media_fixtures.h"
#include "media_probe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {
std::string ReadAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& data)
{
    std::ofstream f(path, std::ios::binary);
    f << data;
}
}  // namespace

TEST(BadInput, MissingFileIsMinusOneAndWritesNothing)
{
    std::string dir = TestDir();
    Converter c;
    EXPECT_EQ(ConvertOne(c, dir + "/nothing.mp3", dir + "/o.mp3", 0), -1);
    EXPECT_FALSE(fs::exists(dir + "/o.mp3"));
}

TEST(BadInput, TextFileNamedMp3IsRefused)
{
    std::string dir = TestDir();
    WriteAll(dir + "/notes.mp3", "These are not the droids you are looking for.\n");
    Converter c;
    EngineResult rc = ConvertOne(c, dir + "/notes.mp3", dir + "/o.wav", 0);
    EXPECT_TRUE(rc == -1 || rc == -4) << rc;
    EXPECT_FALSE(fs::exists(dir + "/o.wav"));
}

TEST(BadInput, TruncatedMp3ConvertsWhatIsThere)
{
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/full.mp3", 6.0);
    std::string data = ReadAll(src);
    WriteAll(dir + "/cut.mp3", data.substr(0, data.size() / 2 + 77));
    std::string before = ReadAll(dir + "/cut.mp3");
    Converter c;
    EXPECT_EQ(ConvertOne(c, dir + "/cut.mp3", dir + "/o.wav", 0), 0);
    ProbeResult p = Probe(dir + "/o.wav");
    EXPECT_NEAR(p.seconds, 3.0, 0.3);
    EXPECT_EQ(ReadAll(dir + "/cut.mp3"), before);
}

TEST(BadInput, RandomBytesNeverCrashOrHang)
{
    std::string dir = TestDir();
    std::mt19937 rng(1234);
    for (const char* ext : {"mp3", "wav", "ogg", "avi", "mp2", "mpeg"}) {
        std::string data(20000 + rng() % 20000, '\0');
        for (auto& ch : data) ch = static_cast<char>(rng());
        std::string path = dir + "/noise." + ext;
        WriteAll(path, data);
        Converter c;
        EngineResult rc = ConvertOne(c, path, dir + "/o.wav", 0);
        EXPECT_LE(rc, 0) << ext;
        MediaInfo info;
        c.GetMediaInfo(path.c_str(), &info);
        EXPECT_EQ(ReadAll(path), data) << ext;
    }
}

TEST(BadInput, CorruptMiddleOfMp3IsSkipped)
{
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/full.mp3", 4.0);
    std::string data = ReadAll(src);
    std::mt19937 rng(99);
    for (size_t i = data.size() / 3; i < data.size() / 3 + 3000; ++i) data[i] = static_cast<char>(rng());
    WriteAll(dir + "/bad.mp3", data);
    Converter c;
    EXPECT_EQ(ConvertOne(c, dir + "/bad.mp3", dir + "/o.wav", 0), 0);
    EXPECT_GT(Probe(dir + "/o.wav").seconds, 3.0);
}

TEST(BadOutput, UnwritableDirectoryIsMinusOne)
{
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/s.wav", 1.0);
    Converter c;
    EXPECT_EQ(ConvertOne(c, src, dir + "/no/such/dir/o.mp3", 0), -1);
    fs::create_directories(dir + "/ro");
    fs::permissions(dir + "/ro", fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) EXPECT_EQ(ConvertOne(c, src, dir + "/ro/o.mp3", 0), -1);
    fs::permissions(dir + "/ro", fs::perms::owner_all);
    // The Converter is idle and usable afterwards.
    EXPECT_EQ(ConvertOne(c, src, dir + "/o.mp3", 0), 0);
}

TEST(BadOutput, QualityOutsideTheTableIsRefused)
{
    std::string dir = TestDir();
    std::string src = MakeTone(dir + "/s.wav", 1.0);
    Converter c;
    EXPECT_EQ(ConvertOne(c, src, dir + "/o.mp3", 30), -3);
    EXPECT_EQ(ConvertOne(c, src, dir + "/o.wav", 8), -3);
    EXPECT_EQ(ConvertOne(c, src, dir + "/o.wav", -1), -3);
    EXPECT_FALSE(fs::exists(dir + "/o.mp3"));
}

TEST(Paths, BlanksColonsAndNonAsciiCharacters)
{
    std::string dir = TestDir() + "/Música 音乐 dir";
    fs::create_directories(dir);
    std::string src = MakeTone(dir + "/a: b 歌曲.wav", 1.0);
    Converter c;
    std::string out = dir + "/out 输出: x.ogg";
    ASSERT_EQ(ConvertOne(c, src, out, 0), 0);
    EXPECT_NEAR(Probe(out).seconds, 1.0, 0.05);
}
