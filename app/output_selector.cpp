#include "output_selector.h"

#include <vector>

#include "converter.h"
#include "file_chooser.h"
#include "format_catalogue.h"
#include "result_box.h"

const char* OutputFormatText(int formatIndex)
{
    return formatIndex >= 0 && formatIndex < 6 ? kOfferedOutputFormats[formatIndex] : "";
}

std::string SaveFilterFor(int formatIndex)
{
    static const char* const kFilters[6] = {"MP3\t*.mp3\t", "WMA\t*.wma\t", "OGG\t*.ogg\t",
                                            "APE\t*.ape\t", "WAV\t*.wav\t", "MP2\t*.mp2\t"};
    if (formatIndex < 0 || formatIndex >= 6) return std::string();
    return FilterFromTabs(kFilters[formatIndex]);
}

std::string DefaultExtensionFor(int formatIndex)
{
    if (formatIndex < 0 || formatIndex >= 6) return std::string();
    return std::string(".") + kOfferedOutputFormats[formatIndex];
}

OutputSelector::OutputSelector(Converter& converter, int formatId, int encoderId, int qualityId,
                               std::function<std::string(const std::string&)> probePath)
    : converter_(converter), formatId_(formatId), encoderId_(encoderId), qualityId_(qualityId),
      probePath_(std::move(probePath))
{
}

void OutputSelector::Attach(HWND dialog)
{
    dialog_ = dialog;
    SendMessageA(Item(formatId_), CB_RESETCONTENT, 0, 0);
    for (const char* format : kOfferedOutputFormats)
        SendMessageA(Item(formatId_), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(format));
}

void OutputSelector::FillEncoders()
{
    std::vector<std::string> names;
    int32_t count = converter_.ListEncoders(probePath_(FormatText()).c_str(), names);
    for (const auto& name : names)
        SendMessageA(Item(encoderId_), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (count < 0) ResultBox::Report(count);
}

void OutputSelector::FillQualities()
{
    std::vector<std::string> labels;
    int32_t count = converter_.ListQualities(probePath_(FormatText()).c_str(), EncoderIndex(), labels);
    for (const auto& label : labels)
        SendMessageA(Item(qualityId_), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
    if (count < 0) ResultBox::Report(count);
}

void OutputSelector::ChooseEncoder()
{
    HWND list = Item(encoderId_);
    LRESULT found = SendMessageA(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>("Windows Media Audio 9"));
    if (found == CB_ERR)
        found = SendMessageA(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>("Windows Media Audio 9.1"));
    SendMessageA(list, CB_SETCURSEL, found == CB_ERR ? 0 : found, 0);
}

void OutputSelector::ChooseQuality()
{
    HWND list = Item(qualityId_);
    LRESULT found = SendMessageA(list, CB_FINDSTRING, 0, reinterpret_cast<LPARAM>("128 kbps, 44 kHz, stereo CBR"));
    SendMessageA(list, CB_SETCURSEL, found == CB_ERR ? 0 : found, 0);
}

void OutputSelector::FillAtStart()
{
    SendMessageA(Item(formatId_), CB_SETCURSEL, 0, 0);
    FillEncoders();
    SendMessageA(Item(encoderId_), CB_SETCURSEL, 0, 0);
    FillQualities();
    SendMessageA(Item(qualityId_), CB_SETCURSEL, 0, 0);
}

void OutputSelector::OnFormatChanged()
{
    SendMessageA(Item(qualityId_), CB_RESETCONTENT, 0, 0);
    SendMessageA(Item(encoderId_), CB_RESETCONTENT, 0, 0);
    FillEncoders();
    ChooseEncoder();
    FillQualities();
    ChooseQuality();
}

void OutputSelector::OnEncoderChanged()
{
    SendMessageA(Item(qualityId_), CB_RESETCONTENT, 0, 0);
    FillQualities();
    ChooseQuality();
}

bool OutputSelector::HandleCommand(WPARAM wParam)
{
    if (HIWORD(wParam) != CBN_SELCHANGE) return false;
    int id = LOWORD(wParam);
    if (id == formatId_) OnFormatChanged();
    else if (id == encoderId_) OnEncoderChanged();
    else return id == qualityId_;
    return true;
}

int OutputSelector::FormatIndex() const
{
    return static_cast<int>(SendMessageA(Item(formatId_), CB_GETCURSEL, 0, 0));
}

std::string OutputSelector::FormatText() const
{
    int index = FormatIndex();
    if (index < 0) return std::string();
    char text[64] = {};
    if (SendMessageA(Item(formatId_), CB_GETLBTEXTLEN, index, 0) >= static_cast<LRESULT>(sizeof text))
        return std::string();
    SendMessageA(Item(formatId_), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

int32_t OutputSelector::EncoderIndex() const
{
    return static_cast<int32_t>(SendMessageA(Item(encoderId_), CB_GETCURSEL, 0, 0));
}

int32_t OutputSelector::QualityIndex() const
{
    return static_cast<int32_t>(SendMessageA(Item(qualityId_), CB_GETCURSEL, 0, 0));
}

void OutputSelector::Enable(bool enable) const
{
    EnableWindow(Item(formatId_), enable);
    EnableWindow(Item(encoderId_), enable);
    EnableWindow(Item(qualityId_), enable);
}
