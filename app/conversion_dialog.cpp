#include "conversion_dialog.h"

#include "output_naming.h"

#include <commctrl.h>

#include "converter.h"
#include "resource.h"
#include "resource_module.h"

ConversionDialog::ConversionDialog(int templateId, Converter& converter, HWND mainWindow)
    : ModalDialog(templateId), converter_(converter), mainWindow_(mainWindow)
{
}

ConversionDialog::~ConversionDialog()
{
    if (worker_) {
        WaitForSingleObject(worker_, INFINITE);
        CloseHandle(worker_);
    }
    converter_.progressCallback = nullptr;
    converter_.progressUser = nullptr;
}

bool ConversionDialog::StartWorker()
{
    if (workerActive_) return false;
    if (worker_) {
        WaitForSingleObject(worker_, INFINITE);
        CloseHandle(worker_);
        worker_ = nullptr;
    }
    workerActive_ = true;
    worker_ = CreateThread(nullptr, 0, WorkerEntry, this, 0, nullptr);
    if (!worker_) workerActive_ = false;
    return worker_ != nullptr;
}

DWORD WINAPI ConversionDialog::WorkerEntry(LPVOID data)
{
    auto* self = static_cast<ConversionDialog*>(data);
    self->Work();
    self->workerActive_ = false;
    PostMessageA(self->window_, WM_APP_CONVERSION_DONE, 0, 0);
    return 0;
}

void ConversionDialog::OnCloseRequest()
{
    if (!conversionRunning_) {
        // A stopped worker ends at its next frame; the dialog outlives it.
        if (workerActive_) WaitForThreadPumping(worker_);
        if (mainWindow_) ShowWindow(mainWindow_, SW_SHOW);
        EndDialog(window_, IDCANCEL);
        return;
    }
    if (MessageBoxA(window_, LoadText(IDS_CONFIRM_STOP).c_str(), LoadText(IDS_PRODUCT).c_str(),
                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
        conversionRunning_ = false;
        converter_.Cancel();
    }
}

bool ConversionDialog::HandleCommon(UINT message, WPARAM wParam)
{
    if (message == WM_CLOSE || (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))) {
        OnCloseRequest();
        return true;
    }
    if (message == WM_APP_CONVERSION_DONE) {
        if (!workerActive_ && worker_) {
            WaitForSingleObject(worker_, INFINITE);
            CloseHandle(worker_);
            worker_ = nullptr;
        }
        return true;
    }
    return false;
}

void ConversionDialog::PostProgress(int percent) const
{
    PostMessageA(GetDlgItem(window_, IDC_PROGRESS), PBM_SETPOS, percent, 0);
}

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ConversionDialog::ProbePathIn(const std::string& dir, int listId, const std::string& format) const
{
    char first[MAX_PATH * 4] = {};
    HWND list = GetDlgItem(window_, listId);
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) > 0 && SendMessageA(list, LB_GETTEXTLEN, 0, 0) < (LRESULT)sizeof first)
        SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
    return dir + BatchOutputName(first, format);
}
