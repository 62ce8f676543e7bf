#pragma once
// A dialog run modally from a template of the resource module in use; subclasses handle
// its messages in Handle().
#include <windows.h>

class ModalDialog {
public:
    virtual ~ModalDialog() = default;
    INT_PTR Run(HWND owner);
    HWND Window() const { return window_; }

protected:
    explicit ModalDialog(int templateId) : templateId_(templateId) {}
    // Returns TRUE when the message was handled.
    virtual INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    HWND Item(int id) const { return GetDlgItem(window_, id); }

    HWND window_ = nullptr;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    int templateId_;
};

// Waits for a thread to end while the calling thread keeps dispatching messages, so a worker
// that sends messages to this thread's windows can finish.
void WaitForThreadPumping(HANDLE thread);
