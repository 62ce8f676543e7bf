// kelvra-convert: modes, naming, policies and exit codes.
#include "media_fixtures.h"
#include "media_probe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {
int Cli(const std::string& args, std::string* output = nullptr)
{
    std::string cmd = std::string(KELVRA_CONVERT_EXE) + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    int status = pclose(p);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

TEST(Cli, UsageErrorsExitTwo)
{
    EXPECT_EQ(Cli(""), 2);
    EXPECT_EQ(Cli("--format flac -o /tmp a.wav"), 2);
    EXPECT_EQ(Cli("--quality x -o /tmp a.wav"), 2);
    EXPECT_EQ(Cli("--cut 5 2 -o /tmp a.wav"), 2);
    EXPECT_EQ(Cli("--bogus"), 2);
    std::string out;
    EXPECT_EQ(Cli("--help", &out), 0);
    EXPECT_NE(out.find("--merge"), std::string::npos);
}

TEST(Cli, ListQualities)
{
    std::string out;
    ASSERT_EQ(Cli("--list-qualities --format wav", &out), 0);
    EXPECT_NE(out.find("0: 44KHZ, Stereo"), std::string::npos);
    EXPECT_NE(out.find("7: 11KHZ, Mono"), std::string::npos);
    ASSERT_EQ(Cli("--list-qualities --format mp3", &out), 0);
    EXPECT_NE(out.find("29: 32KHZ, 320Kbps, Mono CBR"), std::string::npos);
}

TEST(Cli, BatchGoesOnAfterAFailureAndExitsOne)
{
    std::string dir = TestDir();
    std::string a = MakeTone(dir + "/a.wav", 1.0);
    std::string b = MakeTone(dir + "/b song.wav", 1.0);
    fs::create_directories(dir + "/out");
    std::string out;
    EXPECT_EQ(Cli("-o " + Quote(dir + "/out") + " " + Quote(a) + " " + Quote(dir + "/missing.wav") + " " + Quote(b),
                  &out),
              1);
    EXPECT_NE(out.find("不能打开该文件"), std::string::npos) << out;
    EXPECT_TRUE(fs::exists(dir + "/out/a.mp3"));
    EXPECT_TRUE(fs::exists(dir + "/out/b song.mp3"));
}

TEST(Cli, ExistingFilePolicies)
{
    std::string dir = TestDir();
    std::string a = MakeTone(dir + "/a.wav", 1.0);
    const std::string o = " -o " + Quote(dir) + " --format wav ";
    // In its own directory a.wav -> a.wav exists: renamed to a(1).wav, then a(2).wav.
    ASSERT_EQ(Cli(o + Quote(a)), 0);
    ASSERT_EQ(Cli(o + Quote(a)), 0);
    EXPECT_TRUE(fs::exists(dir + "/a(1).wav"));
    EXPECT_TRUE(fs::exists(dir + "/a(2).wav"));
    auto size = fs::file_size(a);
    ASSERT_EQ(Cli(o + "--exists skip " + Quote(a)), 0);
    EXPECT_FALSE(fs::exists(dir + "/a(3).wav"));
    EXPECT_EQ(fs::file_size(a), size);
    // Overwrite into another directory replaces the file there.
    fs::create_directories(dir + "/x");
    std::string b = MakeTone(dir + "/x/a.wav", 3.0);
    ASSERT_EQ(Cli(" -o " + Quote(dir + "/x") + " --format mp3 " + Quote(a)), 0);
    ASSERT_EQ(Cli(" -o " + Quote(dir + "/x") + " --format mp3 --exists overwrite " + Quote(b)), 0);
    EXPECT_NEAR(Probe(dir + "/x/a.mp3").seconds, 3.0, 0.1);
    EXPECT_FALSE(fs::exists(dir + "/x/a(1).mp3"));
}

TEST(Cli, MergeAndCut)
{
    std::string dir = TestDir();
    std::string a = MakeTone(dir + "/a.wav", 2.0);
    std::string b = MakeTone(dir + "/b.wav", 4.0);
    ASSERT_EQ(Cli("--merge " + Quote(dir + "/m.ogg") + " " + Quote(a) + " " + Quote(b)), 0);
    EXPECT_NEAR(Probe(dir + "/m.ogg").seconds, 6.0, 0.1);
    ASSERT_EQ(Cli("--format mp2 -o " + Quote(dir) + " --cut 1 2.5 " + Quote(b)), 0);
    ProbeResult p = Probe(dir + "/b.mp2");
    EXPECT_GE(p.seconds, 2.0);
    EXPECT_LT(p.seconds, 2.1);
    EXPECT_EQ(Cli("--merge " + Quote(dir + "/m.mp3") + " --format ogg " + Quote(a)), 2);
}
