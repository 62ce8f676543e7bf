// The merge dialog hosted in this process: move up and down, the real save dialog, the
// overall progress across three sources, and the joined output.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "converter.h"
#include "driver_support.h"
#include "merge_convert_dialog.h"
#include "native_path.h"
#include "resource.h"
#include "scenarios.h"

namespace {
bool IsMergeDialog(HWND w) { return GetDlgItem(w, IDC_MOVE_UP) != nullptr; }

std::string Entries(HWND list)
{
    std::string all;
    int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[512] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        all += std::string("[") + text + "]";
    }
    return all;
}

int Selected(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }
}  // namespace

void MergeTests(const std::string& media, const std::string& work)
{
    Converter converter;
    HWND main = CreateWindowA("STATIC", "stand-in main window", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MergeConvertDialog merge(converter, main);
    merge.SetSources({media + "\\m1.wav", media + "\\m2.wav", media + "\\m3.wav"});
    const std::string output = work + "\\joined.mp3";
    RunScripted([&] { merge.Run(main); }, [&] {
        HWND dialog = WaitForDialog(0, IsMergeDialog);
        if (!Check(dialog != nullptr, "merge dialog shown")) return;
        HWND list = GetDlgItem(dialog, IDC_MERGE_FILES);
        auto click = [&](int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); };

        Note("move up and down");
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        click(IDC_MOVE_UP);
        Check(Entries(list) == "[m1.wav][m2.wav][m3.wav]" && Selected(list) == 0, "first entry up does nothing");
        SendMessageA(list, LB_SETCURSEL, 2, 0);
        click(IDC_MOVE_DOWN);
        Check(Entries(list) == "[m1.wav][m2.wav][m3.wav]" && Selected(list) == 2, "last entry down does nothing");
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        click(IDC_MOVE_DOWN);
        Check(Entries(list) == "[m2.wav][m1.wav][m3.wav]" && Selected(list) == 1, "down swaps, selection follows");
        click(IDC_MOVE_UP);
        Check(Entries(list) == "[m1.wav][m2.wav][m3.wav]" && Selected(list) == 0, "up swaps back");

        Note("save and start: progress over three sources");
        ControlRecorder progress;
        progress.Attach(GetDlgItem(dialog, IDC_PROGRESS));
        click(IDC_START);
        Check(AnswerFileDialog(work, "joined"), "output named in the save dialog");
        std::string done = AnswerMessageBox(0, IDOK, 120000);
        Check(Utf8(done) == "任务完成！", "completion box: " + Utf8(done));
        Check(WaitFor([&] { return !merge.WorkerActive(); }), "worker ended");
        progress.Detach();
        std::vector<int> seen = progress.Positions();
        bool has33 = std::count(seen.begin(), seen.end(), 33) > 0;
        bool has66 = std::count(seen.begin(), seen.end(), 66) > 0;
        bool climbs = std::is_sorted(seen.begin(), seen.end());
        Check(has33 && has66 && !seen.empty() && seen.back() == 100 && climbs,
              "progress climbs through 33 and 66 to 100 (" + std::to_string(seen.size()) + " updates)");
        MediaInfo info;
        ClearMediaInfo(info);
        EngineResult read = converter.GetMediaInfo(NativePath(output).c_str(), &info);
        Check(read >= 0 && info.duration >= 13.5 && info.duration < 16.5,
              "joined.mp3 holds the three 5 s sources: " + std::to_string(info.duration) + " s, result " +
                  std::to_string(read) + ", " + NativePath(output));

        Note("the overall-progress rule");
        merge.ResetProgressCounters();
        merge.SetEntryCount(3);
        int a = merge.OverallProgress(30, 60), b = merge.OverallProgress(60, 60), c = merge.OverallProgress(1, 60),
            d = merge.OverallProgress(60, 60), e = merge.OverallProgress(70, 60);
        Check(a == 16 && b == 33 && c == 33 && d == 66 && e == 71, "thirds: 16 33 33 66 71");
        merge.SetEntryCount(0);
        Check(merge.OverallProgress(5, 60) == 0, "no entries: no division by zero");
        merge.SetEntryCount(3);
        merge.ResetProgressCounters();
        Check(merge.OverallProgress(10, 0) == 0, "a zero length gives no infinite share");

        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        Check(WaitFor([&] { return !IsWindow(dialog); }), "Enter closes the idle dialog");
    });
    Check(IsWindowVisible(main), "main window shown again after the dialog ends");
    DestroyWindow(main);
}
