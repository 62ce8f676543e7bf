#include "about_dialog.h"

#include "resource.h"
#include "resource_module.h"

AboutDialog::AboutDialog() : ModalDialog(IDD_ABOUT) {}

INT_PTR AboutDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(window_, IDC_ABOUT_VERSION, LoadText(IDS_VERSION).c_str());
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        // The two credit lines are drawn in red.
        int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id != IDC_ABOUT_CREDIT1 && id != IDC_ABOUT_CREDIT2) return FALSE;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(255, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(window_, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(window_, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}
