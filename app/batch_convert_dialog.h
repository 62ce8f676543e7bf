#pragma once
// Converts every listed file into its own output file in one output directory.
#include <atomic>

#include "conversion_dialog.h"
#include "output_naming.h"
#include "output_selector.h"

class BatchConvertDialog : public ConversionDialog {
public:
    BatchConvertDialog(Converter& converter, HWND mainWindow);
    ExistingFilePolicy Policy() const { return static_cast<ExistingFilePolicy>(existingFilePolicy_.load()); }

protected:
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Work() override;

private:
    void OnInitDialog();
    void ChooseDirectory();
    void SetPolicy(int policy);
    void EnableControls(bool enable);
    std::string ProbePath(const std::string& format) const;
    std::string ItemText(int id) const;
    static void OnProgress(double position, double total, void* user);

    OutputSelector selector_;
    std::atomic<int> existingFilePolicy_{2};
};

// True when a file or directory of exactly this path exists.
bool PathExists(const std::string& path);
