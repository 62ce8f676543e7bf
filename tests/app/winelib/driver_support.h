#pragma once
// Helpers of the Winelib test driver: checks, waiting on conditions, finding and driving the
// program's windows (message boxes, file dialogs, lists) by window messages.
#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Records a failed check; the driver's exit status is the number of failures.
bool Check(bool condition, const std::string& what);
int Failures();
void Note(const std::string& text);

// Polls a condition every 10 ms until it holds or the time runs out.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

std::string WindowText(HWND window);
std::string ClassOf(HWND window);
// Visible top-level dialog windows of a process (0 = this one) for which accept holds.
HWND FindDialog(DWORD processId, const std::function<bool(HWND)>& accept);
HWND WaitForDialog(DWORD processId, const std::function<bool(HWND)>& accept, DWORD timeoutMs = 20000);

// A message box of the given process captioned "Kelvra": its text, then it is closed with
// the button. Returns "" (and records a failure) when none appeared.
std::string AnswerMessageBox(DWORD processId, int button, DWORD timeoutMs = 20000);
bool IsMessageBox(HWND window);
std::string MessageBoxText(HWND box);

// Drives an open or save common dialog of this process: goes to folder, then confirms names
// ("\"a.wav\" \"b.wav\"" for several). Returns false when no file dialog appeared.
bool AnswerFileDialog(const std::string& folder, const std::string& names);
bool CancelFileDialog();
bool IsFileDialog(HWND window);

// List-view rows of this process's list (columns 0..2).
int ListRowCount(HWND list);
std::string ListCell(HWND list, int row, int column);

// Remembers every value a control is given (WM_SETTEXT texts, PBM_SETPOS positions).
class ControlRecorder {
public:
    void Attach(HWND control);
    void Detach();
    std::vector<std::string> Texts();
    std::vector<int> Positions();
    void Clear();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND control_ = nullptr;
    WNDPROC previous_ = nullptr;
    std::mutex lock_;
    std::vector<std::string> texts_;
    std::vector<int> positions_;
};

// Runs a script on a second thread while this thread runs the (modal) UI in show().
void RunScripted(const std::function<void()>& show, const std::function<void()>& script);

// Converts to UTF-8 from the ANSI code page, for comparing with literal texts.
std::string Utf8(const std::string& ansi);
// A DOS path of this process's folder layout: Z:\... for a Unix path.
std::string DosPath(const std::string& unixPath);
bool FileExists(const std::string& dosPath);
// Asks the test script for a screenshot (a request file it answers with a done file).
void RequestScreenshot(HWND window, const std::string& folder, const std::string& name);
