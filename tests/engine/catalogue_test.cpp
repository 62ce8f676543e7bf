// Preset tables, extension rules, encoder catalogue and result messages.
#include "converter.h"
#include "engine_result.h"
#include "format_catalogue.h"
#include "quality_presets.h"
#include "text_codepage.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {
std::string Khz(int rate) { return std::to_string(rate / 1000); }
}  // namespace

TEST(Presets, LossyRowsFollowTheirPattern)
{
    ASSERT_EQ(PresetCount(LossyPresets), 30);
    const int bitRates[] = {128, 192, 64, 160, 320};
    const int rates[] = {44100, 48000, 32000};
    for (int i = 0; i < 30; ++i) {
        const QualityPreset& p = LossyPresets[i];
        EXPECT_EQ(p.index, i);
        EXPECT_EQ(p.channels, i < 15 ? 2 : 1);
        EXPECT_EQ(p.bitRate, bitRates[(i % 15) / 3] * 1000);
        EXPECT_EQ(p.sampleRate, rates[i % 3]);
        std::string label = Khz(p.sampleRate) + "KHZ, " + std::to_string(p.bitRate / 1000) + "Kbps, " +
                            (p.channels == 2 ? "Stereo" : "Mono") + " CBR";
        EXPECT_EQ(label, p.label);
    }
    EXPECT_EQ(LossyPresets[30].index, -1);
    EXPECT_EQ(LossyPresets[15].sampleRate, 44100);
    EXPECT_EQ(LossyPresets[15].bitRate, 128000);
    EXPECT_EQ(LossyPresets[15].channels, 1);
}

TEST(Presets, PcmRows)
{
    ASSERT_EQ(PresetCount(PcmPresets), 8);
    EXPECT_STREQ(PcmPresets[0].label, "44KHZ, Stereo");
    EXPECT_STREQ(PcmPresets[3].label, "11KHZ, Stereo");
    EXPECT_STREQ(PcmPresets[4].label, "44KHZ, Mono");
    EXPECT_EQ(PcmPresets[6].sampleRate, 22050);
    EXPECT_EQ(PcmPresets[7].channels, 1);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(PcmPresets[i].bitRate, 128000);
    EXPECT_EQ(PcmPresets[8].index, -1);
}

TEST(Catalogue, ExtensionsChooseBackEnds)
{
    EXPECT_EQ(LowerExtension("C:/Music/Song.MP3"), "mp3");
    EXPECT_EQ(LowerExtension("a.tar.GZ"), "gz");
    EXPECT_EQ(LowerExtension("WAV"), "wav");  // no dot: the whole text
    EXPECT_EQ(SourceKindFor("x.RMVB"), SourceKind::RealMedia);
    EXPECT_EQ(SourceKindFor("x.wma"), SourceKind::WindowsMedia);
    EXPECT_EQ(SourceKindFor("x.Ape"), SourceKind::MonkeysAudio);
    EXPECT_EQ(SourceKindFor("x.avi"), SourceKind::Ffmpeg);
    EXPECT_EQ(SinkKindFor("x.rm"), SinkKind::Ffmpeg);
    EXPECT_EQ(SinkKindFor("x.asf"), SinkKind::WindowsMedia);
    EXPECT_EQ(SinkKindFor("x.ape"), SinkKind::MonkeysAudio);
}

TEST(Catalogue, ListEncodersAppends)
{
    Converter c;
    std::vector<std::string> list;
    EXPECT_EQ(c.ListEncoders("SONG.MP3", list), 1);
    EXPECT_EQ(list[0], "Lame MP3 Encoder ver 3.92");
    EXPECT_EQ(c.ListEncoders("SONG.MP3", list), 2);
    EXPECT_EQ(c.ListEncoders("flac", list), 2);
    std::vector<std::string> names;
    for (const char* f : {"mp2", "wav", "ogg", "ape"}) c.ListEncoders(f, names);
    EXPECT_EQ(names, (std::vector<std::string>{"FFMPEG Build-In MP2 Encoder ver 0.49", "Wav Output Encoder",
                                               "Xiph.Org Ogg Vorbis Encoder", "Monkey's Audio APE Encoder"}));
}

TEST(Catalogue, ListQualitiesByFormat)
{
    Converter c;
    std::vector<std::string> list;
    EXPECT_EQ(c.ListQualities("wav", 0, list), 8);
    EXPECT_EQ(list.back(), "11KHZ, Mono");
    list.clear();
    EXPECT_EQ(c.ListQualities("ogg", 0, list), 30);
    EXPECT_EQ(list.front(), "44KHZ, 128Kbps, Stereo CBR");
    EXPECT_EQ(c.ListQualities("xyz", 0, list), 30);
    list.clear();
    EXPECT_EQ(c.ListQualities("wma", 0, list), 0);  // no Windows Media runtime here
}

TEST(ResultMessages, StringNumbersAndFormatting)
{
    EXPECT_EQ(ResultStringId(-1), 114);
    EXPECT_EQ(ResultStringId(-7), 120);
    EXPECT_EQ(ResultStringId(-9), 122);
    EXPECT_EQ(ResultStringId(-11), 131);
    EXPECT_EQ(ResultStringId(-10), 123);
    EXPECT_EQ(ResultStringId(-12), 123);
    EXPECT_EQ(ResultStringId(-100), 123);
    EXPECT_EQ(ResultMessageUtf8(-7), "用户强行退出。");
    EXPECT_EQ(ResultMessageUtf8(-12), "发生未知错误-12！您可以将此现象汇报给我们。");
    EXPECT_EQ(ResultMessageUtf8(-10), "发生未知错误-10！您可以将此现象汇报给我们。");
    EXPECT_EQ(FormatResultMessage(-3, "unknown error %d!"), "unknown error -3!");
    EXPECT_EQ(FormatResultMessage(-3, "no code"), "no code");
}

TEST(ResultMessages, AnsiMessageIsGbkOnChineseSystems)
{
    SetAnsiCodePage(936);
    std::string gbk = ResultMessage(-7);
    // "用户强行退出。" is 7 characters of two bytes each in GBK.
    ASSERT_EQ(gbk.size(), 14u);
    EXPECT_EQ(static_cast<unsigned char>(gbk[0]), 0xD3);
    EXPECT_EQ(static_cast<unsigned char>(gbk[1]), 0xC3);
    EXPECT_EQ(AnsiToUtf8(gbk), "用户强行退出。");
}
