// kelvra-convert --info prints one "key: value" line per MediaInfo field.
#include "file_bytes.h"
#include "media_fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sys/wait.h>

namespace {
struct Output {
    int status = -1;
    std::string text;
};

Output RunInfo(const std::string& args)
{
    Output out;
    std::FILE* p = popen((std::string(KELVRA_CONVERT) + " --info " + args + " 2>&1").c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.text.append(buf, n);
    int rc = pclose(p);
    out.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

std::map<std::string, std::string> Fields(const std::string& text)
{
    std::map<std::string, std::string> fields;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        size_t colon = line.find(": ");
        if (colon != std::string::npos) fields[line.substr(0, colon)] = line.substr(colon + 2);
        else if (!line.empty() && line.back() == ':') fields[line.substr(0, line.size() - 1)] = "";
        start = end + 1;
    }
    return fields;
}
}  // namespace

TEST(CliInfo, PrintsEveryField)
{
    const std::string dir = TestDir();
    const std::string mp3 = MakeTone(dir + "/t.mp3", 3, 44100, 2,
                                     "-b:a 128k -metadata title=标题 -metadata artist=Band -metadata album=LP "
                                     "-metadata date=1990 -metadata track=2/10 -metadata genre=Pop "
                                     "-metadata comment=Hi -metadata copyright=Us");
    Output out = RunInfo(Quote(mp3));
    ASSERT_EQ(out.status, 0) << out.text;
    auto f = Fields(out.text);
    EXPECT_NEAR(std::stod(f["duration"]), 3.0, 0.06);
    EXPECT_EQ(f["format"], "mp3float");
    EXPECT_EQ(f["title"], "标题");
    EXPECT_EQ(f["artist"], "Band");
    EXPECT_EQ(f["album"], "LP");
    EXPECT_EQ(f["year"], "1990");
    EXPECT_EQ(f["track"], "2");
    EXPECT_EQ(f["genre"], "Pop");
    EXPECT_EQ(f["comment"], "Hi");
    EXPECT_EQ(f["copyright"], "Us");
}

TEST(CliInfo, UnreadableFileGivesMessageAndFailure)
{
    const std::string dir = TestDir();
    const std::string ogg = MakeTone(dir + "/ok.ogg", 1, 44100, 2, "-c:a libvorbis -metadata title=Fine");
    WriteBytes(dir + "/bad.ogg", "not an ogg file");
    Output out = RunInfo(Quote(ogg) + " " + Quote(dir + "/bad.ogg"));
    EXPECT_NE(out.status, 0);
    EXPECT_NE(out.text.find("title: Fine"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("bad.ogg: 不能打开该文件，请确保该文件确实可用。"), std::string::npos) << out.text;

    Output wma = RunInfo(Quote(dir + "/x.wma"));
    EXPECT_NE(wma.status, 0);
    EXPECT_NE(wma.text.find("发生未知错误-10"), std::string::npos) << wma.text;
}
