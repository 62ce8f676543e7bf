#pragma once
// Joins all listed files, in an order the user sets, into one output file.
#include <atomic>

#include "conversion_dialog.h"
#include "output_selector.h"

class MergeConvertDialog : public ConversionDialog {
public:
    MergeConvertDialog(Converter& converter, HWND mainWindow);

    // The overall percentage for a progress report of the source being converted; also
    // advances the finished-source count when the position falls back.
    int OverallProgress(double position, double total);
    void ResetProgressCounters() { mergeFinishedSources_ = 0; mergeLastPosition_ = 0; }
    void SetEntryCount(int n) { entryCount_ = n; }

protected:
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Work() override;

private:
    void OnInitDialog();
    void MoveSelected(int step);
    void EnableControls(bool enable);
    std::string ProbePath(const std::string& format) const;
    static void OnProgress(double position, double total, void* user);

    OutputSelector selector_;
    int mergeFinishedSources_ = 0;
    int mergeLastPosition_ = 0;
    std::atomic<int> entryCount_{0};
};
