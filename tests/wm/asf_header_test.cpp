// The layer's own ASF header reading and rebuilding, on headers FFmpeg's muxer wrote.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "asf_header.h"
#include "media_fixtures.h"
#include "media_probe.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint64_t Le64(const uint8_t* p)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

std::u16string Text(const AsfAttribute& a)
{
    std::u16string t;
    for (size_t i = 0; i + 1 < a.value.size(); i += 2) {
        char16_t c = static_cast<char16_t>(a.value[i] | a.value[i + 1] << 8);
        if (!c) break;
        t.push_back(c);
    }
    return t;
}

}  // namespace

TEST(AsfHeader, ReadsDescriptionExtendedContentStreamsAndDuration)
{
    std::string dir = TestDir();
    std::string path = MakeTone(dir + "/a.wma", 2.0, 44100, 2,
                                "-c:a wmav2 -b:a 64k -metadata title=T -metadata artist=A -metadata album=Al");
    std::vector<uint8_t> bytes = Bytes(path);
    AsfHeader h;
    ASSERT_TRUE(ParseAsfHeader(bytes.data(), bytes.size(), h));
    EXPECT_GT(h.headerSize, 30u);
    ASSERT_TRUE(h.hasDuration);
    EXPECT_NEAR(h.duration / 1e7, 2.0, 0.1);
    ASSERT_EQ(h.streams.size(), 1u);
    EXPECT_TRUE(h.streams[0].audio);
    EXPECT_EQ(h.streams[0].number, 1);
    std::map<std::u16string, std::u16string> byName;
    for (const AsfAttribute& a : h.attributes) byName[a.name] = Text(a);
    EXPECT_EQ(byName[u"Title"], u"T");
    EXPECT_EQ(byName[u"Author"], u"A");
    EXPECT_EQ(byName[u"WM/AlbumTitle"], u"Al");
}

TEST(AsfHeader, RebuildKeepsEveryOtherByteAndFixesSizes)
{
    std::string dir = TestDir();
    std::string path = MakeTone(dir + "/a.wma", 1.0, 44100, 2, "-c:a wmav2 -b:a 64k -metadata title=Old");
    std::vector<uint8_t> bytes = Bytes(path);
    AsfHeader h;
    ASSERT_TRUE(ParseAsfHeader(bytes.data(), bytes.size(), h));
    std::vector<AsfAttribute> attrs;
    AsfAttribute title;
    title.name = u"Title";
    title.value = AsfStringValue(std::u16string(300, u'N'));
    attrs.push_back(title);
    title.value = AsfStringValue(u"second");
    attrs.push_back(title);
    AsfAttribute flag;
    flag.name = u"IsVBR";
    flag.type = kAsfBool;
    flag.value = {1, 0, 0, 0};
    attrs.push_back(flag);
    std::vector<uint8_t> header;
    ASSERT_TRUE(RebuildAsfHeader(bytes.data(), bytes.size(), attrs, header));
    EXPECT_EQ(Le64(header.data() + 16), header.size());
    AsfHeader again;
    ASSERT_TRUE(ParseAsfHeader(header.data(), header.size(), again));
    ASSERT_EQ(again.attributes.size(), 3u);
    EXPECT_EQ(Text(again.attributes[0]), std::u16string(300, u'N'));
    EXPECT_EQ(again.attributes[1].name, u"Title");
    EXPECT_EQ(Text(again.attributes[1]), u"second");
    EXPECT_EQ(again.attributes[2].type, kAsfBool);
    EXPECT_EQ(again.attributes[2].value, (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(again.duration, h.duration);
    // The new file (new header + old data) is a valid file of the same audio.
    std::string rebuilt = dir + "/b.wma";
    {
        std::ofstream out(rebuilt, std::ios::binary);
        out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
        out.write(reinterpret_cast<const char*>(bytes.data() + h.headerSize),
                  static_cast<std::streamsize>(bytes.size() - h.headerSize));
    }
    EXPECT_EQ(DecodePcm(rebuilt), DecodePcm(path));
    EXPECT_EQ(Probe(rebuilt).tags["album"], "");
}

TEST(AsfHeader, DamagedHeadersAreRefused)
{
    std::string dir = TestDir();
    std::string path = MakeTone(dir + "/a.wma", 0.5, 44100, 1, "-c:a wmav2 -b:a 64k -metadata title=x");
    std::vector<uint8_t> bytes = Bytes(path);
    AsfHeader h;
    ASSERT_TRUE(ParseAsfHeader(bytes.data(), bytes.size(), h));
    size_t headerSize = static_cast<size_t>(h.headerSize);
    EXPECT_FALSE(ParseAsfHeader(bytes.data(), 29, h));
    EXPECT_FALSE(ParseAsfHeader(bytes.data(), headerSize - 1, h));
    std::vector<uint8_t> bad = bytes;
    bad[0] ^= 0xFF;
    EXPECT_FALSE(ParseAsfHeader(bad.data(), bad.size(), h));
    bad = bytes;
    bad[24] = 0xFF;  // more objects than the header holds
    EXPECT_FALSE(ParseAsfHeader(bad.data(), bad.size(), h));
    bad = bytes;
    for (int i = 0; i < 8; ++i) bad[30 + 16 + i] = 0xFF;  // first object larger than the header
    EXPECT_FALSE(ParseAsfHeader(bad.data(), bad.size(), h));
    std::vector<uint8_t> out;
    EXPECT_FALSE(RebuildAsfHeader(bad.data(), bad.size(), {}, out));
}
