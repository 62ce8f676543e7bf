// The main window hosted in this process: adding files through the real open dialog, the
// add-files worker, unreadable files, delete, clear, the language menu and the layout.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <map>
#include <string>

#include "display_name.h"
#include "driver_support.h"
#include "main_dialog.h"
#include "resource.h"
#include "resource_module.h"
#include "scenarios.h"
#include "settings_file.h"
#include "native_path.h"
#include "text_codepage.h"

namespace {
HWND WaitForMainWindow()
{
    return WaitForDialog(0, [](HWND w) { return GetDlgItem(w, IDC_FILE_LIST) != nullptr; });
}

// Rows as path -> (name, length).
std::map<std::string, std::pair<std::string, std::string>> Rows(HWND list)
{
    std::map<std::string, std::pair<std::string, std::string>> rows;
    for (int i = 0; i < ListRowCount(list); ++i) rows[ListCell(list, i, 2)] = {ListCell(list, i, 0), ListCell(list, i, 1)};
    return rows;
}

void Select(HWND list, int row, bool selected)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}
}  // namespace

void MainWindowTests(const std::string& media, const std::string& work)
{
    SettingsFile settings;
    settings.Bind(work + "\\Media.ini");
    MainDialog dialog(settings);
    RunScripted([&] { dialog.Run(nullptr); }, [&] {
        HWND main = WaitForMainWindow();
        if (!Check(main != nullptr, "main window shown")) return;
        HWND list = GetDlgItem(main, IDC_FILE_LIST);

        Note("batch with an empty list opens the open dialog instead");
        PostMessageA(main, WM_COMMAND, IDC_BATCH, 0);
        Check(CancelFileDialog(), "open dialog shown for batch on an empty list");
        Check(!FindDialog(0, [](HWND w) { return GetDlgItem(w, IDC_BATCH_FILES) != nullptr; }), "no batch dialog");

        Note("adding files through the open dialog");
        PostMessageA(main, WM_COMMAND, IDC_ADD_FILES, 0);
        Check(AnswerFileDialog(media, "\"tagged.wav\" \"long.wav\" \"noext\" \"Plain Name.wav\""), "files chosen");
        Check(WaitFor([&] { return ListRowCount(list) == 4 && !dialog.AddFilesBusy(); }), "four rows added");
        auto rows = Rows(list);
        Check(rows[media + "\\tagged.wav"].first == "Abc - Xyz", "artist and title: " + rows[media + "\\tagged.wav"].first);
        Check(rows[media + "\\long.wav"].second == "62:05", "3725 s shows 62:05: " + rows[media + "\\long.wav"].second);
        Check(rows[media + "\\long.wav"].first == "long", "file name without extension");
        Check(rows.count(media + "\\noext") && rows[media + "\\noext"].first.empty(), "a name without a dot shows empty");
        Check(rows[media + "\\Plain Name.wav"].first == "Plain Name", "plain name kept with its blank");

        Note("a file name and tags in the ANSI code page (936 here)");
        PostMessageA(main, WM_COMMAND, IDC_ADD_FILES, 0);
        const std::string chineseName = Utf8ToAnsi("中文歌.wav");
        Check(NativePath(media + "\\" + chineseName).find("/media/中文歌.wav") != std::string::npos,
              "the DOS path becomes the native UTF-8 path");
        Check(AnswerFileDialog(media, chineseName), "Chinese file name typed in code page 936");
        Check(WaitFor([&] { return ListRowCount(list) == 5 && !dialog.AddFilesBusy(); }), "Chinese-named file added");
        rows = Rows(list);
        auto chinese = rows.find(media + "\\" + Utf8ToAnsi("中文歌.wav"));
        Check(chinese != rows.end() && Utf8(chinese->second.first) == "歌手 - 歌名" && chinese->second.second == "00:03",
              "its tags show as 歌手 - 歌名, length 00:03");
        for (int i = 0; i < ListRowCount(list); ++i) Select(list, i, ListCell(list, i, 2) == chinese->first);
        SendMessageA(main, WM_COMMAND, ID_MENU_DELETE, 0);
        Check(ListRowCount(list) == 4, "and deleted again");

        Note("a file that cannot be read shows the result box and is not added");
        PostMessageA(main, WM_COMMAND, ID_MENU_ADD, 0);
        Check(AnswerFileDialog(media, "broken.wav"), "broken file chosen");
        std::string text = AnswerMessageBox(0, IDOK);
        Check(Utf8(text) == "不能打开该文件，请确保该文件确实可用。", "result box text: " + Utf8(text));
        Check(WaitFor([&] { return !dialog.AddFilesBusy(); }) && ListRowCount(list) == 4, "nothing added");

        Note("a second Add Files while the first worker runs");
        std::string many;
        for (int i = 1; i <= 40; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "\"t%02d.wav\" ", i);
            many += name;
        }
        PostMessageA(main, WM_COMMAND, IDC_ADD_FILES, 0);
        Check(AnswerFileDialog(media + "\\many", many), "forty files chosen");
        bool overlapped = dialog.AddFilesBusy();
        PostMessageA(main, WM_COMMAND, IDC_ADD_FILES, 0);
        Check(AnswerFileDialog(media + "\\many", "\"t41.wav\" \"t42.wav\""), "two more chosen at once");
        Note(overlapped ? "the second command came while the first worker ran" : "the first worker had already ended");
        Check(WaitFor([&] { return ListRowCount(list) == 46 && !dialog.AddFilesBusy(); }), "all 42 rows added");
        rows = Rows(list);
        int wrong = 0;
        for (int i = 1; i <= 42; ++i) {
            char path[64];
            std::snprintf(path, sizeof path, "\\many\\t%02d.wav", i);
            auto row = rows.find(media + path);
            if (row == rows.end() || row->second.second != FormatLength(i)) ++wrong;
        }
        Check(wrong == 0, "every row has its own file's length (" + std::to_string(wrong) + " wrong)");

        Note("delete selected rows 1, 3 and 5");
        for (int i = 0; i < ListRowCount(list); ++i) Select(list, i, i == 1 || i == 3 || i == 5);
        std::string keep0 = ListCell(list, 0, 2), keep2 = ListCell(list, 2, 2), keep4 = ListCell(list, 4, 2),
                    keep6 = ListCell(list, 6, 2);
        SendMessageA(main, WM_COMMAND, ID_MENU_DELETE, 0);
        Check(ListRowCount(list) == 43 && ListCell(list, 0, 2) == keep0 && ListCell(list, 1, 2) == keep2 &&
                  ListCell(list, 2, 2) == keep4 && ListCell(list, 3, 2) == keep6,
              "exactly rows 1, 3 and 5 deleted");

        Note("cut with rows but none selected asks for a selection");
        for (int i = 0; i < ListRowCount(list); ++i) Select(list, i, false);
        PostMessageA(main, WM_COMMAND, IDC_CUT, 0);
        std::string cutText = Utf8(AnswerMessageBox(0, IDOK));
        Check(cutText == "请选择一个需要截取的文件。", "string 130 shown: " + cutText);

        Note("about box from the context menu and from the system menu");
        for (int viaSystemMenu = 0; viaSystemMenu < 2; ++viaSystemMenu) {
            if (viaSystemMenu) PostMessageA(main, WM_SYSCOMMAND, IDM_ABOUT_SYSTEM, 0);
            else PostMessageA(main, WM_COMMAND, ID_MENU_ABOUT, 0);
            HWND about = WaitForDialog(0, [](HWND w) { return GetDlgItem(w, IDC_ABOUT_VERSION) != nullptr; });
            Check(about && WindowText(GetDlgItem(about, IDC_ABOUT_VERSION)) == "Kelvra V1.2" &&
                      Utf8(WindowText(about)) == "Kelvra -- 关于本软件",
                  viaSystemMenu ? "about box from the system menu" : "about box from the context menu");
            if (about) PostMessageA(about, WM_COMMAND, IDOK, 0);
            WaitFor([&] { return !about || !IsWindow(about); });
        }
        HMENU system = GetSystemMenu(main, FALSE);
        char item[128] = {};
        GetMenuStringA(system, IDM_ABOUT_SYSTEM, item, sizeof item, MF_BYCOMMAND);
        Check(Utf8(item) == "关于本软件", "system menu carries 关于本软件");

        Note("right click in the list shows menu 141 with its language check mark");
        static NMHDR click;
        click.hwndFrom = list;
        click.idFrom = IDC_FILE_LIST;
        click.code = NM_RCLICK;
        WritePrivateProfileStringA("App", "AppLan", "2", (work + "\\Media.ini").c_str());
        PostMessageA(main, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&click));
        HWND popupWindow = nullptr;
        WaitFor([&] { return (popupWindow = FindWindowA("#32768", nullptr)) && IsWindowVisible(popupWindow); });
        if (Check(popupWindow != nullptr, "context menu shown")) {
            HMENU shown = reinterpret_cast<HMENU>(SendMessageA(popupWindow, MN_GETHMENU, 0, 0));
            Check(GetMenuItemCount(shown) == 11 && GetMenuItemID(shown, 0) == ID_MENU_BATCH &&
                      (GetMenuState(shown, ID_MENU_ENGLISH, MF_BYCOMMAND) & MF_CHECKED) &&
                      !(GetMenuState(shown, ID_MENU_CHINESE, MF_BYCOMMAND) & MF_CHECKED),
                  "its items, with English checked for AppLan 2");
            PostMessageA(main, WM_CANCELMODE, 0, 0);
            Check(WaitFor([&] { return !IsWindowVisible(popupWindow); }), "menu dismissed");
        }
        Check(SendMessageA(main, WM_QUERYDRAGICON, 0, 0) != 0, "the drag icon is the program icon");

        Note("language menu");
        PostMessageA(main, WM_COMMAND, ID_MENU_ENGLISH, 0);
        Check(Utf8(AnswerMessageBox(0, IDOK)) == "您的选择将在下次运行程序时生效。", "string 136 shown");
        Check(GetPrivateProfileIntA("App", "AppLan", -1, (work + "\\Media.ini").c_str()) == 2, "AppLan = 2 stored");
        HMENU menu = LoadMenuA(ResourceModule(), MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
        HMENU popup = GetSubMenu(menu, 0);
        SendMessageA(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
        Check((GetMenuState(popup, ID_MENU_ENGLISH, MF_BYCOMMAND) & MF_CHECKED) &&
                  !(GetMenuState(popup, ID_MENU_CHINESE, MF_BYCOMMAND) & MF_CHECKED),
              "English checked");
        PostMessageA(main, WM_COMMAND, ID_MENU_CHINESE, 0);
        AnswerMessageBox(0, IDOK);
        Check(GetPrivateProfileIntA("App", "AppLan", -1, (work + "\\Media.ini").c_str()) == 1, "AppLan = 1 stored");
        SendMessageA(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
        Check((GetMenuState(popup, ID_MENU_CHINESE, MF_BYCOMMAND) & MF_CHECKED) &&
                  !(GetMenuState(popup, ID_MENU_ENGLISH, MF_BYCOMMAND) & MF_CHECKED),
              "Chinese checked");
        DestroyMenu(menu);

        Note("layout follows the window size");
        auto clientRect = [&](int id) {
            RECT r;
            GetWindowRect(GetDlgItem(main, id), &r);
            MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
            return r;
        };
        RECT client, frame;
        GetClientRect(main, &client);
        RECT listBefore = clientRect(IDC_FILE_LIST), timeBefore = clientRect(IDC_TIME), seekBefore = clientRect(IDC_SEEK);
        int rightGap = client.right - listBefore.right, bottomGap = client.bottom - listBefore.bottom;
        int timeRightGap = client.right - timeBefore.right, timeBottomGap = client.bottom - timeBefore.top;
        GetWindowRect(main, &frame);
        SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left + 120, frame.bottom - frame.top + 80,
                     SWP_NOMOVE | SWP_NOZORDER);
        GetClientRect(main, &client);
        RECT listAfter = clientRect(IDC_FILE_LIST), timeAfter = clientRect(IDC_TIME), seekAfter = clientRect(IDC_SEEK);
        Check(client.right - listAfter.right == rightGap && client.bottom - listAfter.bottom == bottomGap &&
                  listAfter.left == listBefore.left && listAfter.top == listBefore.top,
              "the list keeps its distances to the right and bottom edges");
        Check(client.right - timeAfter.right == timeRightGap && client.bottom - timeAfter.top == timeBottomGap,
              "the time text keeps its place at the bottom right");
        Check(seekAfter.left == seekBefore.left && seekAfter.right - seekBefore.right == 120 &&
                  timeAfter.left - seekAfter.right == timeBefore.left - seekBefore.right,
              "the seek slider stretches up to the time text");

        Note("clear list asks first");
        PostMessageA(main, WM_COMMAND, ID_MENU_CLEAR, 0);
        Check(Utf8(AnswerMessageBox(0, IDNO)) == "该操作将会清除列表中的所有项，继续吗？", "string 105 asked");
        Check(ListRowCount(list) == 43, "No keeps the rows");
        PostMessageA(main, WM_COMMAND, ID_MENU_CLEAR, 0);
        AnswerMessageBox(0, IDYES);
        Check(WaitFor([&] { return ListRowCount(list) == 0; }), "Yes clears the list");

        PostMessageA(main, WM_CLOSE, 0, 0);
        Check(WaitFor([&] { return !IsWindow(main); }), "main window closes");
    });
}
