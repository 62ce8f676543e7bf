// Shows the main window with files, then the batch and the merge dialog, and has the test
// script photograph each (the pictures are looked at by people, not compared).
#include <windows.h>

#include "driver_support.h"
#include "main_dialog.h"
#include "resource.h"
#include "scenarios.h"
#include "settings_file.h"
#include "text_codepage.h"

void Screenshots(const std::string& media, const std::string& work, const std::string& language)
{
    SettingsFile settings;
    settings.Bind(work + "\\Media.ini");
    MainDialog dialog(settings);
    dialog.SetInitialFiles({media + "\\tagged.wav", media + "\\long.wav", media + "\\Plain Name.wav",
                            media + "\\" + Utf8ToAnsi("中文歌.wav")});
    RunScripted([&] { dialog.Run(nullptr); }, [&] {
        HWND main = WaitForDialog(0, [](HWND w) { return GetDlgItem(w, IDC_FILE_LIST) != nullptr; });
        if (!Check(main != nullptr, "main window shown")) return;
        RequestScreenshot(main, work, "main-" + language);
        PostMessageA(main, WM_COMMAND, IDC_BATCH, 0);
        HWND batch = WaitForDialog(0, [](HWND w) { return GetDlgItem(w, IDC_BATCH_FILES) != nullptr; });
        if (Check(batch != nullptr, "batch dialog shown")) {
            Check(!IsWindowVisible(main), "main window hidden while the batch dialog is open");
            RequestScreenshot(batch, work, "batch-" + language);
            PostMessageA(batch, WM_CLOSE, 0, 0);
            Check(WaitFor([&] { return !IsWindow(batch) && IsWindowVisible(main); }), "main window back");
        }
        PostMessageA(main, WM_COMMAND, IDC_MERGE, 0);
        HWND merge = WaitForDialog(0, [](HWND w) { return GetDlgItem(w, IDC_MOVE_UP) != nullptr; });
        if (Check(merge != nullptr, "merge dialog shown")) {
            RequestScreenshot(merge, work, "merge-" + language);
            PostMessageA(merge, WM_CLOSE, 0, 0);
            Check(WaitFor([&] { return !IsWindow(merge) && IsWindowVisible(main); }), "main window back");
        }
        PostMessageA(main, WM_CLOSE, 0, 0);
        WaitFor([&] { return !IsWindow(main); });
    });
}
