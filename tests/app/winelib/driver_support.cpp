#include "driver_support.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>

#include "text_codepage.h"

namespace {
int g_failures = 0;
}

bool Check(bool condition, const std::string& what)
{
    if (!condition) {
        ++g_failures;
        std::printf("FAILED: %s\n", what.c_str());
    } else {
        std::printf("ok: %s\n", what.c_str());
    }
    std::fflush(stdout);
    return condition;
}

int Failures() { return g_failures; }

void Note(const std::string& text)
{
    std::printf("-- %s\n", text.c_str());
    std::fflush(stdout);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
}

std::string WindowText(HWND window)
{
    char text[4096] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

namespace {
struct FindState {
    DWORD processId;
    const std::function<bool(HWND)>* accept;
    HWND found;
};

BOOL CALLBACK FindOne(HWND window, LPARAM data)
{
    auto* state = reinterpret_cast<FindState*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != state->processId || !IsWindowVisible(window) || ClassOf(window) != "#32770") return TRUE;
    if (!(*state->accept)(window)) return TRUE;
    state->found = window;
    return FALSE;
}

BOOL CALLBACK CollectStatics(HWND child, LPARAM data)
{
    if (ClassOf(child) == "Static") {
        std::string text = WindowText(child);
        if (!text.empty()) {
            auto* out = reinterpret_cast<std::string*>(data);
            if (!out->empty()) *out += "\n";
            *out += text;
        }
    }
    return TRUE;
}
}  // namespace

HWND FindDialog(DWORD processId, const std::function<bool(HWND)>& accept)
{
    FindState state{processId ? processId : GetCurrentProcessId(), &accept, nullptr};
    EnumWindows(FindOne, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND WaitForDialog(DWORD processId, const std::function<bool(HWND)>& accept, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitFor([&] { return (found = FindDialog(processId, accept)) != nullptr; }, timeoutMs);
    return found;
}

bool IsMessageBox(HWND window)
{
    return WindowText(window) == "Kelvra" && !GetDlgItem(window, 1006) && !GetDlgItem(window, 1010);
}

std::string MessageBoxText(HWND box)
{
    std::string text;
    EnumChildWindows(box, CollectStatics, reinterpret_cast<LPARAM>(&text));
    return text;
}

std::string AnswerMessageBox(DWORD processId, int button, DWORD timeoutMs)
{
    HWND box = WaitForDialog(processId, IsMessageBox, timeoutMs);
    if (!Check(box != nullptr, "a message box appeared")) return std::string();
    std::string text = MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, button, 0);
    WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000);
    return text;
}

bool IsFileDialog(HWND window) { return GetDlgItem(window, 0x47c) != nullptr && GetDlgItem(window, IDOK); }

bool AnswerFileDialog(const std::string& folder, const std::string& names)
{
    HWND dialog = WaitForDialog(0, IsFileDialog);
    if (!dialog) return false;
    HWND nameBox = GetDlgItem(dialog, 0x47c);
    if (!folder.empty()) {
        SetWindowTextA(nameBox, folder.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        auto current = [&] {
            char path[MAX_PATH * 2] = {};
            SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof path, reinterpret_cast<LPARAM>(path));
            std::string text = path;
            if (!text.empty() && text.back() == '\\') text.pop_back();
            return text;
        };
        std::string wanted = folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
        if (!WaitFor([&] { return lstrcmpiA(current().c_str(), wanted.c_str()) == 0; }, 10000)) {
            Note("file dialog stayed in " + current());
            return false;
        }
    }
    SetWindowTextA(nameBox, names.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return WaitFor([&] { return !IsWindow(dialog); }, 10000);
}

bool CancelFileDialog()
{
    HWND dialog = WaitForDialog(0, IsFileDialog);
    if (!dialog) return false;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return WaitFor([&] { return !IsWindow(dialog); }, 10000);
}

int ListRowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string ListCell(HWND list, int row, int column)
{
    char text[2048] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

void ControlRecorder::Attach(HWND control)
{
    control_ = control;
    SetPropA(control, "KelvraRecorder", this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
}

void ControlRecorder::Detach()
{
    if (!control_ || !IsWindow(control_)) return;
    SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropA(control_, "KelvraRecorder");
    control_ = nullptr;
}

LRESULT CALLBACK ControlRecorder::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<ControlRecorder*>(GetPropA(window, "KelvraRecorder"));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    {
        std::lock_guard<std::mutex> hold(self->lock_);
        if (message == WM_SETTEXT && lParam) self->texts_.push_back(reinterpret_cast<const char*>(lParam));
        if (message == PBM_SETPOS) self->positions_.push_back(static_cast<int>(wParam));
    }
    return CallWindowProcA(self->previous_, window, message, wParam, lParam);
}

std::vector<std::string> ControlRecorder::Texts()
{
    std::lock_guard<std::mutex> hold(lock_);
    return texts_;
}

std::vector<int> ControlRecorder::Positions()
{
    std::lock_guard<std::mutex> hold(lock_);
    return positions_;
}

void ControlRecorder::Clear()
{
    std::lock_guard<std::mutex> hold(lock_);
    texts_.clear();
    positions_.clear();
}

namespace {
DWORD WINAPI ScriptThread(LPVOID data)
{
    (*static_cast<const std::function<void()>*>(data))();
    return 0;
}
}  // namespace

void RunScripted(const std::function<void()>& show, const std::function<void()>& script)
{
    HANDLE thread = CreateThread(nullptr, 0, ScriptThread, const_cast<std::function<void()>*>(&script), 0, nullptr);
    show();
    // The script ends the UI; wait for its last checks while still dispatching messages.
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, 60000, QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    CloseHandle(thread);
}

std::string Utf8(const std::string& ansi) { return AnsiToUtf8(ansi); }

std::string DosPath(const std::string& unixPath)
{
    std::string dos = "Z:" + unixPath;
    for (char& c : dos)
        if (c == '/') c = '\\';
    return dos;
}

bool FileExists(const std::string& dosPath) { return GetFileAttributesA(dosPath.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RequestScreenshot(HWND window, const std::string& folder, const std::string& name)
{
    std::string request = folder + "\\" + name + ".request";
    std::string done = folder + "\\" + name + ".done";
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    // Wine copies window surfaces to the X server on its own periodic flush.
    Sleep(400);
    HANDLE file = CreateFileA(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    Check(WaitFor([&] { return FileExists(done); }, 30000), "screenshot " + name + " taken");
}
