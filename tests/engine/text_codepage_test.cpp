// UTF-8 and ANSI code page conversions at the tag boundary.
#include "text_codepage.h"

#include <gtest/gtest.h>

class CodePage : public ::testing::Test {
protected:
    void TearDown() override { SetAnsiCodePage(936); }
};

TEST_F(CodePage, ChineseRoundTripsThroughGbk)
{
    SetAnsiCodePage(936);
    std::string utf8 = "音乐文件 - 添加文件";
    std::string gbk = Utf8ToAnsi(utf8);
    EXPECT_NE(gbk, utf8);
    EXPECT_EQ(gbk.size(), 4u * 2 + 3 + 4u * 2);
    EXPECT_EQ(AnsiToUtf8(gbk), utf8);
}

TEST_F(CodePage, MissingCharactersBecomeQuestionMarks)
{
    SetAnsiCodePage(1252);
    EXPECT_EQ(Utf8ToAnsi("caf\xC3\xA9 \xE9\x9F\xB3"), "caf\xE9 ?");
    SetAnsiCodePage(936);
    EXPECT_EQ(Utf8ToAnsi("a\xF0\x9F\x8E\xB5" "b"), "a?b");  // an emoji has no GBK form
}

TEST_F(CodePage, InvalidBytesAreDroppedNotLooped)
{
    SetAnsiCodePage(936);
    EXPECT_EQ(Utf8ToAnsi("a\xFF\xFE" "b\xE9"), "ab");
    EXPECT_EQ(AnsiToUtf8("x\x81"), "x");  // a lone GBK lead byte at the end
    EXPECT_EQ(Utf8ToAnsi(""), "");
}

TEST_F(CodePage, Utf8CodePageIsIdentity)
{
    SetAnsiCodePage(65001);
    EXPECT_EQ(Utf8ToAnsi("音乐"), "音乐");
    EXPECT_EQ(AnsiToUtf8("音乐"), "音乐");
}
