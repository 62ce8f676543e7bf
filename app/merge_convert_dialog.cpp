#include "merge_convert_dialog.h"

#include <commctrl.h>

#include "converter.h"
#include "file_chooser.h"
#include "native_path.h"
#include "output_naming.h"
#include "resource.h"
#include "resource_module.h"
#include "result_box.h"
#include "skin/skin_engine.h"

MergeConvertDialog::MergeConvertDialog(Converter& converter, HWND mainWindow)
    : ConversionDialog(IDD_MERGE, converter, mainWindow),
      selector_(converter, IDC_FORMAT, IDC_ENCODER, IDC_QUALITY,
                [this](const std::string& format) { return ProbePath(format); })
{
}

std::string MergeConvertDialog::ProbePath(const std::string& format) const
{
    if (sources_.empty()) return format;
    size_t slash = sources_[0].rfind('\\');
    std::string dir = slash == std::string::npos ? std::string() : sources_[0].substr(0, slash + 1);
    return ProbePathIn(dir, IDC_MERGE_FILES, format);
}

INT_PTR MergeConvertDialog::Handle(UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        OnInitDialog();
        return TRUE;
    }
    if (HandleCommon(message, wParam)) return TRUE;
    if (message != WM_COMMAND) return FALSE;
    if (selector_.HandleCommand(wParam)) return TRUE;
    switch (LOWORD(wParam)) {
    case IDC_MOVE_UP:
        MoveSelected(-1);
        return TRUE;
    case IDC_MOVE_DOWN:
        MoveSelected(1);
        return TRUE;
    case IDC_START:
        // One worker at a time drives the Converter: a press while a save dialog or a run is
        // open does nothing.
        if (HIWORD(wParam) == BN_CLICKED) StartWorker();
        return TRUE;
    }
    return FALSE;
}

void MergeConvertDialog::OnInitDialog()
{
    SkinWindow(window_, "Dialog");
    HWND list = Item(IDC_MERGE_FILES);
    for (const auto& path : sources_)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FileNameOf(path).c_str()));
    selector_.Attach(window_);
    selector_.FillAtStart();
    conversionRunning_ = false;
    SendMessageA(Item(IDC_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    converter_.progressCallback = OnProgress;
    converter_.progressUser = this;
}

void MergeConvertDialog::MoveSelected(int step)
{
    HWND list = Item(IDC_MERGE_FILES);
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    int s = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    int other = s + step;
    if (s < 0 || other < 0 || other >= count || other >= static_cast<int>(sources_.size())) return;
    // Remove the neighbour and put it back on the selected entry's place: the two swap.
    char text[MAX_PATH * 4] = {};
    if (SendMessageA(list, LB_GETTEXTLEN, other, 0) >= static_cast<LRESULT>(sizeof text)) return;
    SendMessageA(list, LB_GETTEXT, other, reinterpret_cast<LPARAM>(text));
    SendMessageA(list, LB_DELETESTRING, other, 0);
    SendMessageA(list, LB_INSERTSTRING, s, reinterpret_cast<LPARAM>(text));
    SendMessageA(list, LB_SETCURSEL, other, 0);
    std::swap(sources_[s], sources_[other]);
}

void MergeConvertDialog::EnableControls(bool enable)
{
    selector_.Enable(enable);
    const int ids[] = {IDC_START, IDC_MOVE_UP, IDC_MOVE_DOWN};
    for (int id : ids) EnableWindow(Item(id), enable);
}

int MergeConvertDialog::OverallProgress(double position, double total)
{
    int n = entryCount_;
    if (n <= 0) return 0;
    if (mergeLastPosition_ > position) ++mergeFinishedSources_;
    mergeLastPosition_ = static_cast<int>(position);
    double share = total > 0 ? position / total / n * 100 : 0;
    int percent = static_cast<int>(share) + mergeFinishedSources_ * 100 / n;
    return percent < 0 ? 0 : percent > 100 ? 100 : percent;
}

void MergeConvertDialog::OnProgress(double position, double total, void* user)
{
    if (position < 0) return;
    auto* self = static_cast<MergeConvertDialog*>(user);
    self->PostProgress(self->OverallProgress(position, total));
}

void MergeConvertDialog::Work()
{
    int formatIndex = selector_.FormatIndex();
    FileChooser chooser;
    chooser.SetUp(false, DefaultExtensionFor(formatIndex), OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                  SaveFilterFor(formatIndex), nullptr);
    if (chooser.Run() != FileChooser::Confirmed) return;
    const std::string output = chooser.FilePath();

    // A stop confirmed while no job ran would otherwise cancel this job.
    if (converter_.queuedSources() == 0) converter_.Convert(false);
    conversionRunning_ = true;
    EnableControls(false);
    ResetProgressCounters();
    SetEntryCount(static_cast<int>(SendMessageA(Item(IDC_MERGE_FILES), LB_GETCOUNT, 0, 0)));
    for (const auto& path : sources_) {
        EngineResult rc = converter_.AddSource(NativePath(path).c_str(), -1);
        if (rc < 0) ResultBox::Report(rc);
    }
    EngineResult rc = converter_.SetOutput(NativePath(output).c_str(), selector_.EncoderIndex(),
                                           selector_.QualityIndex());
    if (rc < 0) ResultBox::Report(rc);
    rc = converter_.Convert(false);
    if (rc == kErrCancelled || (rc < 0 && !conversionRunning_)) {
        conversionRunning_ = false;
        EnableControls(true);
        PostProgress(0);
        return;
    }
    if (rc < 0) ResultBox::Report(rc);
    EnableControls(true);
    PostProgress(100);
    // The job is over before the box shows, so a close meanwhile has nothing to stop.
    conversionRunning_ = false;
    MessageBoxA(nullptr, LoadText(IDS_TASK_DONE).c_str(), LoadText(IDS_PRODUCT).c_str(), MB_OK | MB_ICONINFORMATION);
}
