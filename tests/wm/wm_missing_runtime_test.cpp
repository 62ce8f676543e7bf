// Without a Windows Media factory the runtime counts as missing.
#include <gtest/gtest.h>

#include "converter.h"
#include "media_fixtures.h"
#include "windows_media_backend.h"

TEST(WmMissingRuntime, WmaSourceAndSinkGiveMinus8)
{
    ASSERT_EQ(GetWindowsMediaFactory(), nullptr);
    std::string dir = TestDir();
    std::string wma = MakeTone(dir + "/a.wma", 1.0, 44100, 2, "-c:a wmav2 -b:a 64k");
    std::string wav = MakeTone(dir + "/a.wav", 1.0);

    Converter converter;
    ASSERT_EQ(converter.AddSource(wma.c_str(), -1), kOk);
    ASSERT_EQ(converter.SetOutput((dir + "/out.mp3").c_str(), 0, 0), kOk);
    EXPECT_EQ(converter.Convert(false), -8);
    EXPECT_EQ(converter.queuedSources(), 0u);

    ASSERT_EQ(converter.AddSource(wav.c_str(), -1), kOk);
    ASSERT_EQ(converter.SetOutput((dir + "/out.wma").c_str(), 0, 0), kOk);
    EXPECT_EQ(converter.Convert(false), -8);

    std::vector<std::string> encoders;
    EXPECT_EQ(converter.ListEncoders("x.wma", encoders), 0);
}
