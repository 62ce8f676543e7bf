// The layer's codec enumeration and profiles.
#include <gtest/gtest.h>

#include "wm_test_support.h"

namespace {

const GUID kAudio = {0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string Narrow(const WCHAR* text)
{
    std::string s;
    for (; *text; ++text) s.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
    return s;
}

void CodecInfo(Ref<IWMCodecInfo3>& info)
{
    Ref<IWMProfileManager> manager;
    EXPECT_EQ(WMCreateProfileManager(manager.out()), S_OK);
    EXPECT_EQ(manager->QueryInterface(IID_IWMCodecInfo3, info.outVoid()), S_OK);
}

}  // namespace

TEST(WmLayerCodecs, HonestNamesAndDescriptionsInTheRuntimeStyle)
{
    Ref<IWMCodecInfo3> info;
    CodecInfo(info);
    ASSERT_TRUE(info);
    DWORD count = 0;
    ASSERT_EQ(info->GetCodecInfoCount(kAudio, &count), S_OK);
    ASSERT_EQ(count, 2u);
    std::vector<std::string> names;
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = 0;
        ASSERT_EQ(info->GetCodecName(kAudio, i, nullptr, &length), S_OK);
        std::vector<WCHAR> name(length);
        DWORD tooShort = length - 1;
        EXPECT_EQ(info->GetCodecName(kAudio, i, name.data(), &tooShort), ASF_E_BUFFERTOOSMALL);
        ASSERT_EQ(info->GetCodecName(kAudio, i, name.data(), &length), S_OK);
        names.push_back(Narrow(name.data()));
    }
    EXPECT_EQ(names[0], "Windows Media Audio V2");
    EXPECT_EQ(names[1], "Windows Media Audio V1");
    DWORD video = 5;
    ASSERT_EQ(info->GetCodecInfoCount(WMMEDIATYPE_Video, &video), S_OK);
    EXPECT_EQ(video, 0u);

    DWORD formats = 0;
    ASSERT_EQ(info->GetCodecFormatCount(kAudio, 0, &formats), S_OK);
    ASSERT_GT(formats, 10u);
    bool found = false;
    for (DWORD f = 0; f < formats; ++f) {
        DWORD length = 0;
        ASSERT_EQ(info->GetCodecFormatDesc(kAudio, 0, f, nullptr, nullptr, &length), S_OK);
        std::vector<WCHAR> text(length);
        Ref<IWMStreamConfig> config;
        ASSERT_EQ(info->GetCodecFormatDesc(kAudio, 0, f, config.out(), text.data(), &length), S_OK);
        std::string desc = Narrow(text.data());
        // The description says what the format's media type holds.
        Ref<IWMMediaProps> props;
        ASSERT_EQ(config->QueryInterface(IID_IWMMediaProps, props.outVoid()), S_OK);
        std::vector<BYTE> buffer(1000);
        DWORD size = 1000;
        ASSERT_EQ(props->GetMediaType(reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data()), &size), S_OK);
        auto* wave = reinterpret_cast<const WAVEFORMATEX*>(reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data())->pbFormat);
        DWORD bitrate = 0;
        config->GetBitrate(&bitrate);
        std::string expected = std::to_string(bitrate / 1000) + " kbps, " + std::to_string(wave->nSamplesPerSec / 1000) +
                               " kHz, " + (wave->nChannels == 1 ? "mono" : "stereo") + " CBR";
        EXPECT_EQ(desc, expected);
        EXPECT_EQ(wave->wFormatTag, 0x161);
        if (desc == "128 kbps, 44 kHz, stereo CBR") found = true;
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(info->GetCodecFormatCount(kAudio, 2, &formats), E_INVALIDARG);
}

TEST(WmLayerCodecs, NoVariableBitRateSettingIsAccepted)
{
    Ref<IWMCodecInfo3> info;
    CodecInfo(info);
    BOOL value = FALSE;
    EXPECT_EQ(info->SetCodecEnumerationSetting(kAudio, 0, L"_VBRENABLED", WMT_TYPE_BOOL,
                                               reinterpret_cast<BYTE*>(&value), 4),
              static_cast<HRESULT>(0xC00D0BCD));
    value = TRUE;
    EXPECT_EQ(info->SetCodecEnumerationSetting(kAudio, 1, L"_VBRENABLED", WMT_TYPE_BOOL,
                                               reinterpret_cast<BYTE*>(&value), 4),
              static_cast<HRESULT>(0xC00D0BCD));
    DWORD passes = 1;
    EXPECT_EQ(info->SetCodecEnumerationSetting(kAudio, 0, L"_PASSESUSED", WMT_TYPE_DWORD,
                                               reinterpret_cast<BYTE*>(&passes), 4),
              static_cast<HRESULT>(0xC00D0BCD));
}

TEST(WmLayerCodecs, ProfileStreamsCopyTheirConfiguration)
{
    Ref<IWMProfileManager> manager;
    ASSERT_EQ(WMCreateProfileManager(manager.out()), S_OK);
    Ref<IWMProfile> profile;
    ASSERT_EQ(manager->CreateEmptyProfile(WMT_VER_9_0, profile.out()), S_OK);
    WMT_VERSION version;
    ASSERT_EQ(profile->GetVersion(&version), S_OK);
    EXPECT_EQ(version, WMT_VER_9_0);
    Ref<IWMStreamConfig> stream;
    ASSERT_EQ(profile->CreateNewStream(kAudio, stream.out()), S_OK);
    ASSERT_EQ(stream->SetBitrate(64000), S_OK);
    ASSERT_EQ(stream->SetBufferWindow(3000), S_OK);
    Ref<IWMPropertyVault> vault;
    ASSERT_EQ(stream->QueryInterface(IID_IWMPropertyVault, vault.outVoid()), S_OK);
    BOOL vbr = FALSE;
    ASSERT_EQ(vault->SetProperty(L"_VBRENABLED", WMT_TYPE_BOOL, reinterpret_cast<BYTE*>(&vbr), 4), S_OK);
    const IID streamConfig3 = {0xcb164104, 0x3aa9, 0x45a7, {0x9a, 0xc9, 0x4d, 0xae, 0xe1, 0x31, 0xd6, 0xe1}};
    Ref<IUnknown> v3;
    EXPECT_EQ(stream->QueryInterface(streamConfig3, v3.outVoid()), S_OK);

    DWORD count = 0;
    ASSERT_EQ(profile->GetStreamCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    ASSERT_EQ(profile->AddStream(stream.p), S_OK);
    ASSERT_EQ(profile->GetStreamCount(&count), S_OK);
    ASSERT_EQ(count, 1u);
    Ref<IWMStreamConfig> added;
    ASSERT_EQ(profile->GetStream(0, added.out()), S_OK);
    DWORD bitrate = 0, window = 0;
    WORD number = 0;
    added->GetBitrate(&bitrate);
    added->GetBufferWindow(&window);
    added->GetStreamNumber(&number);
    EXPECT_EQ(bitrate, 64000u);
    EXPECT_EQ(window, 3000u);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(profile->GetStream(1, added.out()), E_INVALIDARG);
}
