#pragma once
// The format, encoder and quality drop-down lists of the conversion dialogs.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

class Converter;

// Extension, default save extension and save-dialog filter of output format index 0..5.
const char* OutputFormatText(int formatIndex);
std::string SaveFilterFor(int formatIndex);       // tabs already turned into NULs; "" out of range
std::string DefaultExtensionFor(int formatIndex); // ".mp3" ...; "" out of range

class OutputSelector {
public:
    // probePath forms the path whose extension ListEncoders sees, for a format text.
    OutputSelector(Converter& converter, int formatId, int encoderId, int qualityId,
                   std::function<std::string(const std::string& format)> probePath);

    void Attach(HWND dialog);
    void FillAtStart();
    void OnFormatChanged();
    void OnEncoderChanged();
    // True when the notification was one of the three lists' selection changes (and handled).
    bool HandleCommand(WPARAM wParam);

    // Read by the workers through window messages.
    int FormatIndex() const;
    std::string FormatText() const;
    int32_t EncoderIndex() const;
    int32_t QualityIndex() const;
    void Enable(bool enable) const;

private:
    void FillEncoders();
    void FillQualities();
    void ChooseEncoder();
    void ChooseQuality();
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }

    Converter& converter_;
    int formatId_, encoderId_, qualityId_;
    std::function<std::string(const std::string&)> probePath_;
    HWND dialog_ = nullptr;
};
