#include "batch_convert_dialog.h"

#include <commctrl.h>

#include "converter.h"
#include "folder_chooser.h"
#include "native_path.h"
#include "resource.h"
#include "resource_module.h"
#include "result_box.h"
#include "skin/skin_engine.h"

bool PathExists(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

BatchConvertDialog::BatchConvertDialog(Converter& converter, HWND mainWindow)
    : ConversionDialog(IDD_BATCH, converter, mainWindow),
      selector_(converter, IDC_BATCH_FORMAT, IDC_ENCODER, IDC_QUALITY,
                [this](const std::string& format) { return ProbePath(format); })
{
}

std::string BatchConvertDialog::ItemText(int id) const
{
    char text[MAX_PATH * 4] = {};
    GetDlgItemTextA(window_, id, text, sizeof text);
    return text;
}

std::string BatchConvertDialog::ProbePath(const std::string& format) const
{
    return ProbePathIn(ItemText(IDC_OUTPUT_DIR), IDC_BATCH_FILES, format);
}

INT_PTR BatchConvertDialog::Handle(UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        OnInitDialog();
        return TRUE;
    }
    if (HandleCommon(message, wParam)) return TRUE;
    if (message != WM_COMMAND) return FALSE;
    if (selector_.HandleCommand(wParam)) return TRUE;
    switch (LOWORD(wParam)) {
    case IDC_CHOOSE_DIR:
        ChooseDirectory();
        return TRUE;
    case IDC_OVERWRITE:
        SetPolicy(0);
        return TRUE;
    case IDC_SKIP:
        SetPolicy(1);
        return TRUE;
    case IDC_AUTO_RENAME:
        SetPolicy(2);
        return TRUE;
    case IDC_START:
        if (HIWORD(wParam) == BN_CLICKED && !WorkerActive()) {
            conversionRunning_ = true;
            if (!StartWorker()) conversionRunning_ = false;
        }
        return TRUE;
    }
    return FALSE;
}

void BatchConvertDialog::OnInitDialog()
{
    SkinWindow(window_, "Dialog");
    HWND list = Item(IDC_BATCH_FILES);
    for (const auto& path : sources_)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FileNameOf(path).c_str()));
    std::string dir;
    if (!sources_.empty()) {
        size_t slash = sources_[0].rfind('\\');
        if (slash != std::string::npos) dir = sources_[0].substr(0, slash + 1);
    }
    SetDlgItemTextA(window_, IDC_OUTPUT_DIR, dir.c_str());
    selector_.Attach(window_);
    selector_.FillAtStart();
    conversionRunning_ = false;
    SendMessageA(Item(IDC_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    converter_.progressCallback = OnProgress;
    converter_.progressUser = this;
    SetPolicy(2);
}

void BatchConvertDialog::ChooseDirectory()
{
    std::string folder;
    if (FolderChooser::Run(LoadText(IDS_CHOOSE_FOLDER), ItemText(IDC_OUTPUT_DIR), folder) != FolderChooser::Chosen)
        return;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    SetDlgItemTextA(window_, IDC_OUTPUT_DIR, folder.c_str());
}

void BatchConvertDialog::SetPolicy(int policy)
{
    existingFilePolicy_ = policy;
    CheckDlgButton(window_, IDC_OVERWRITE, policy == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window_, IDC_SKIP, policy == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window_, IDC_AUTO_RENAME, policy == 2 ? BST_CHECKED : BST_UNCHECKED);
}

void BatchConvertDialog::EnableControls(bool enable)
{
    selector_.Enable(enable);
    const int ids[] = {IDC_CHOOSE_DIR, IDC_START, IDC_OVERWRITE, IDC_SKIP, IDC_AUTO_RENAME};
    for (int id : ids) EnableWindow(Item(id), enable);
}

void BatchConvertDialog::OnProgress(double position, double total, void* user)
{
    if (position < 0 || !(total > 0)) return;
    int percent = static_cast<int>(position / total * 100);
    static_cast<BatchConvertDialog*>(user)->PostProgress(percent < 0 ? 0 : percent > 100 ? 100 : percent);
}

void BatchConvertDialog::Work()
{
    // A stop confirmed while no job ran would otherwise cancel the first job of this run.
    if (converter_.queuedSources() == 0) converter_.Convert(false);
    EnableControls(false);
    const std::string dir = ItemText(IDC_OUTPUT_DIR);
    const std::string format = selector_.FormatText();
    HWND list = Item(IDC_BATCH_FILES);
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && i < static_cast<int>(sources_.size()); ++i) {
        if (!conversionRunning_) {
            conversionRunning_ = false;
            EnableControls(true);
            PostProgress(0);
            return;
        }
        char name[MAX_PATH * 4] = {};
        if (SendMessageA(list, LB_GETTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof name))
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
        SendMessageA(list, LB_SETCURSEL, i, 0);
        std::string output = BatchOutputPath(dir, name, format, Policy(), PathExists);
        if (output.empty()) continue;
        const std::string& source = sources_[i];
        SetDlgItemTextA(window_, IDC_STATUS, FormatWithText(LoadText(IDS_CONVERTING), source).c_str());
        EngineResult rc = converter_.AddSource(NativePath(source).c_str(), -1);
        if (rc < 0) {
            ResultBox::Report(rc);
            continue;
        }
        rc = converter_.SetOutput(NativePath(output).c_str(), selector_.EncoderIndex(), selector_.QualityIndex());
        if (rc < 0) {
            ResultBox::Report(rc);
            continue;
        }
        rc = converter_.Convert(false);
        if (rc == kErrCancelled || (rc < 0 && !conversionRunning_)) {
            conversionRunning_ = false;
            EnableControls(true);
            PostProgress(0);
            return;
        }
        if (rc < 0) ResultBox::Report(rc);
    }
    EnableControls(true);
    PostProgress(100);
    SetDlgItemTextA(window_, IDC_STATUS, LoadText(IDS_TASK_DONE).c_str());
    conversionRunning_ = false;
}
