#include "modal_dialog.h"

#include "resource_module.h"

INT_PTR ModalDialog::Run(HWND owner)
{
    return DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(templateId_), owner, Procedure,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ModalDialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ModalDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window_ = window;
    } else {
        self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!self) return FALSE;
    INT_PTR handled = self->Handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) self->window_ = nullptr;
    return handled;
}

void WaitForThreadPumping(HANDLE thread)
{
    if (!thread) return;
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 1) return;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
