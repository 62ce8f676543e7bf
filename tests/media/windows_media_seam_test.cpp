// "asf" and "wma" files go to the Windows Media back-end for reading and writing tags.
#include "media_info_reader.h"
#include "tag_writer.h"
#include "inert_windows_media.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// Records the tag calls; every other operation fails.
class RecordingWindowsMedia : public InertWindowsMedia {
public:
    int32_t result = 0;
    std::string readPath, writtenPath, writtenTitle;

    int32_t readTags(const char* path, MediaInfo* info) override
    {
        readPath = path;
        CopyField(info->title, "From Runtime");
        info->duration = 12.5;
        return result;
    }
    int32_t rewriteTags(const char* path, const MediaInfo* info) override
    {
        writtenPath = path;
        writtenTitle = info->title;
        return result;
    }

};
}  // namespace

TEST(WindowsMediaSeam, TagsGoThroughTheBackEnd)
{
    RecordingWindowsMedia wm;
    MediaInfo info;
    for (const char* path : {"/music/a.wma", "/music/B.ASF"}) {
        ASSERT_EQ(ReadMediaInfo(path, &info, &wm), 0);
        EXPECT_EQ(wm.readPath, path);
        EXPECT_STREQ(info.title, "From Runtime");
        EXPECT_EQ(info.duration, 12.5);

        CopyField(info.title, "Edited");
        ASSERT_EQ(WriteFileTags(path, info, &wm), 0);
        EXPECT_EQ(wm.writtenPath, path);
        EXPECT_EQ(wm.writtenTitle, "Edited");
    }
    // The back-end's failures are passed on as they are.
    wm.result = -10;
    EXPECT_EQ(ReadMediaInfo("/music/a.wma", &info, &wm), -10);
    wm.result = -11;
    EXPECT_EQ(WriteFileTags("/music/a.wma", info, &wm), -11);
}

TEST(WindowsMediaSeam, WithoutTheRuntime)
{
    MediaInfo info;
    EXPECT_EQ(ReadMediaInfo("/music/a.wma", &info, nullptr), -10);
    EXPECT_EQ(WriteFileTags("/music/a.asf", info, nullptr), -11);
    // Other extensions never reach the back-end.
    RecordingWindowsMedia wm;
    EXPECT_EQ(WriteFileTags("/music/a.ogg", info, &wm), -11);
    EXPECT_TRUE(wm.writtenPath.empty());
}
