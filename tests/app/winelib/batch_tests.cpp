// The batch dialog hosted in this process with a Converter of its own: the three policies
// for existing outputs, the skip-all run, the rename numbering, a failing source, stopping.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "batch_convert_dialog.h"
#include "converter.h"
#include "driver_support.h"
#include "native_path.h"
#include "resource.h"
#include "resource_module.h"
#include "scenarios.h"

namespace {
bool IsBatchDialog(HWND w) { return GetDlgItem(w, IDC_BATCH_FILES) != nullptr; }

double OutputSeconds(Converter& probe, const std::string& dosPath)
{
    MediaInfo info;
    ClearMediaInfo(info);
    if (probe.GetMediaInfo(NativePath(dosPath).c_str(), &info) < 0) return -1;
    return info.duration;
}

std::string ComboText(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    int index = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    if (index < 0) return "<none>";
    char text[256] = {};
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

void ChooseFormat(HWND dialog, int index)
{
    SendMessageA(GetDlgItem(dialog, IDC_BATCH_FORMAT), CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BATCH_FORMAT, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_BATCH_FORMAT)));
}

HWND StandInMainWindow()
{
    return CreateWindowA("STATIC", "stand-in main window", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

// Runs the batch once with a policy; answers result boxes while it runs; returns their count.
int RunBatch(HWND dialog, BatchConvertDialog& batch, int policyButton, ControlRecorder& status)
{
    SendMessageA(GetDlgItem(dialog, policyButton), BM_CLICK, 0, 0);
    status.Clear();
    SendMessageA(GetDlgItem(dialog, IDC_START), BM_CLICK, 0, 0);
    int boxes = 0;
    WaitFor([&] {
        if (HWND box = FindDialog(0, IsMessageBox)) {
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            WaitFor([&] { return !IsWindow(box); });
            ++boxes;
        }
        return !batch.WorkerActive() && !batch.ConversionRunning();
    }, 120000);
    return boxes;
}
}  // namespace

void BatchTests(const std::string& media, const std::string& work)
{
    Converter converter;
    Converter probe;
    const std::string out = work + "\\out\\";
    CreateDirectoryA((work + "\\out").c_str(), nullptr);

    Note("three policies, a failing source, the rename numbering and the skip-all run");
    {
        HWND main = StandInMainWindow();
        BatchConvertDialog batch(converter, main);
        batch.SetSources({media + "\\a.wav", media + "\\broken.wav", media + "\\c.wav"});
        RunScripted([&] { batch.Run(main); }, [&] {
            HWND dialog = WaitForDialog(0, IsBatchDialog);
            if (!Check(dialog != nullptr, "batch dialog shown")) return;
            char dir[1024] = {};
            GetDlgItemTextA(dialog, IDC_OUTPUT_DIR, dir, sizeof dir);
            Check(std::string(dir) == media + "\\", std::string("output directory starts at the first file's: ") + dir);
            Check(IsDlgButtonChecked(dialog, IDC_AUTO_RENAME) == BST_CHECKED && batch.Policy() == ExistingFilePolicy::AutoRename,
                  "auto-rename chosen at start");
            Check(ComboText(dialog, IDC_BATCH_FORMAT) == "mp3" && ComboText(dialog, IDC_ENCODER) == "Lame MP3 Encoder ver 3.92" &&
                      ComboText(dialog, IDC_QUALITY) == "44KHZ, 128Kbps, Stereo CBR",
                  "mp3, its encoder and the first quality chosen at start");
            Check(SendMessageA(GetDlgItem(dialog, IDC_QUALITY), CB_GETCOUNT, 0, 0) == 30, "30 mp3 qualities");
            ChooseFormat(dialog, 4);
            Check(ComboText(dialog, IDC_ENCODER) == "Wav Output Encoder" && ComboText(dialog, IDC_QUALITY) == "44KHZ, Stereo" &&
                      SendMessageA(GetDlgItem(dialog, IDC_QUALITY), CB_GETCOUNT, 0, 0) == 8,
                  "wav: its encoder and 8 qualities");
            ChooseFormat(dialog, 2);
            Check(ComboText(dialog, IDC_ENCODER) == "Xiph.Org Ogg Vorbis Encoder" &&
                      ComboText(dialog, IDC_QUALITY) == "44KHZ, 128Kbps, Stereo CBR",
                  "ogg: encoder 0 and quality 44KHZ, 128Kbps, Stereo CBR");
            ChooseFormat(dialog, 0);
            SetDlgItemTextA(dialog, IDC_OUTPUT_DIR, out.c_str());

            ControlRecorder status;
            status.Attach(GetDlgItem(dialog, IDC_STATUS));
            int boxes = RunBatch(dialog, batch, IDC_OVERWRITE, status);
            Check(boxes == 1, "the unreadable source was reported once, the batch went on");
            Check(OutputSeconds(probe, out + "a.mp3") > 1.5 && OutputSeconds(probe, out + "c.mp3") > 1.5,
                  "a.mp3 and c.mp3 decode to about 2 s");
            Check(!FileExists(out + "broken.mp3"), "nothing written for the unreadable source");
            Check(Utf8(WindowText(GetDlgItem(dialog, IDC_STATUS))) == "任务完成！", "status shows 任务完成！");
            Check(WaitFor([&] { return SendMessageA(GetDlgItem(dialog, IDC_PROGRESS), PBM_GETPOS, 0, 0) == 100; }), "progress at 100");
            auto texts = status.Texts();
            Check(texts.size() == 4 && texts[0] == FormatWithText(LoadText(IDS_CONVERTING), media + "\\a.wav") &&
                      texts[2] == FormatWithText(LoadText(IDS_CONVERTING), media + "\\c.wav"),
                  "status named each file while it was converted");
            HANDLE a = CreateFileA((out + "a.mp3").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            DWORD sizeFirst = GetFileSize(a, nullptr);
            CloseHandle(a);

            RunBatch(dialog, batch, IDC_OVERWRITE, status);
            Check(!FileExists(out + "a(1).mp3"), "overwrite writes over a.mp3 again");
            a = CreateFileA((out + "a.mp3").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            Check(GetFileSize(a, nullptr) == sizeFirst, "a.mp3 rewritten to the same size");
            CloseHandle(a);

            RunBatch(dialog, batch, IDC_AUTO_RENAME, status);
            RunBatch(dialog, batch, IDC_AUTO_RENAME, status);
            Check(OutputSeconds(probe, out + "a(1).mp3") > 1.5 && OutputSeconds(probe, out + "a(2).mp3") > 1.5 &&
                      FileExists(out + "c(1).mp3") && FileExists(out + "c(2).mp3") && !FileExists(out + "a(3).mp3"),
                  "auto-rename numbers a(1).mp3, then a(2).mp3");

            // Only the unreadable source has no output yet: it alone is tried (and reported again).
            int skipBoxes = RunBatch(dialog, batch, IDC_SKIP, status);
            texts = status.Texts();
            std::string shown;
            for (const auto& t : texts) shown += "[" + Utf8(t) + "]";
            Check(skipBoxes == 1 && texts.size() == 2 &&
                      texts[0] == FormatWithText(LoadText(IDS_CONVERTING), media + "\\broken.wav") &&
                      Utf8(texts[1]) == "任务完成！" && !FileExists(out + "a(3).mp3"),
                  "skip passes existing outputs silently: " + shown);
            Check(IsWindowEnabled(GetDlgItem(dialog, IDC_START)) && IsWindowEnabled(GetDlgItem(dialog, IDC_BATCH_FORMAT)),
                  "controls enabled again");
            status.Detach();
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            Check(WaitFor([&] { return !IsWindow(dialog); }), "idle dialog closes at once");
        });
        Check(IsWindowVisible(main), "main window shown again after the dialog ends");
        DestroyWindow(main);
    }

    Note("stop during the second of three files; Esc while running does not end the dialog");
    {
        const std::string stopOut = work + "\\stop\\";
        CreateDirectoryA((work + "\\stop").c_str(), nullptr);
        HWND main = StandInMainWindow();
        BatchConvertDialog batch(converter, main);
        batch.SetSources({media + "\\s1.wav", media + "\\s2.wav", media + "\\s3.wav"});
        RunScripted([&] { batch.Run(main); }, [&] {
            HWND dialog = WaitForDialog(0, IsBatchDialog);
            if (!Check(dialog != nullptr, "batch dialog shown")) return;
            SetDlgItemTextA(dialog, IDC_OUTPUT_DIR, stopOut.c_str());
            SendMessageA(GetDlgItem(dialog, IDC_START), BM_CLICK, 0, 0);
            HWND progress = GetDlgItem(dialog, IDC_PROGRESS);
            std::string second = FormatWithText(LoadText(IDS_CONVERTING), media + "\\s2.wav");
            Check(WaitFor([&] {
                      return WindowText(GetDlgItem(dialog, IDC_STATUS)) == second &&
                             SendMessageA(progress, PBM_GETPOS, 0, 0) > 0;
                  }, 60000),
                  "second file under way");
            Check(!IsWindowEnabled(GetDlgItem(dialog, IDC_START)) && !IsWindowEnabled(GetDlgItem(dialog, IDC_SKIP)),
                  "controls disabled while running");
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            std::string question = AnswerMessageBox(0, IDNO);
            Check(Utf8(question) == "程序正在转换文件，是否要停止转换？", "Esc asks whether to stop");
            Check(IsWindow(dialog) && batch.ConversionRunning(), "No keeps the dialog and the run");
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            AnswerMessageBox(0, IDYES);
            Check(WaitFor([&] { return !batch.WorkerActive(); }, 30000), "worker ends after Yes");
            Check(WaitFor([&] { return SendMessageA(progress, PBM_GETPOS, 0, 0) == 0; }), "progress back at 0");
            Check(IsWindow(dialog), "the dialog stays open after the stop");
            Check(Utf8(WindowText(GetDlgItem(dialog, IDC_STATUS))) != "任务完成！", "no completion text");
            Check(FileExists(stopOut + "s1.mp3") && !FileExists(stopOut + "s3.mp3"),
                  std::string("third file not started: s1 ") + (FileExists(stopOut + "s1.mp3") ? "yes" : "no") +
                      ", s3 " + (FileExists(stopOut + "s3.mp3") ? "yes" : "no"));
            Check(IsWindowEnabled(GetDlgItem(dialog, IDC_START)), "controls enabled after the stop");
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            Check(WaitFor([&] { return !IsWindow(dialog); }), "dialog closes once stopped");
        });
        Check(IsWindowVisible(main), "main window shown again after the dialog ends");
        DestroyWindow(main);
    }

    Note("a run after a stop is not cancelled by the earlier stop; then skip with every output present");
    {
        const std::string again = work + "\\again\\";
        CreateDirectoryA((work + "\\again").c_str(), nullptr);
        converter.Cancel();  // as a stop confirmed while no job ran
        HWND main = StandInMainWindow();
        BatchConvertDialog batch(converter, main);
        batch.SetSources({media + "\\a.wav", media + "\\c.wav"});
        RunScripted([&] { batch.Run(main); }, [&] {
            HWND dialog = WaitForDialog(0, IsBatchDialog);
            if (!Check(dialog != nullptr, "batch dialog shown")) return;
            SetDlgItemTextA(dialog, IDC_OUTPUT_DIR, again.c_str());
            ControlRecorder status;
            status.Attach(GetDlgItem(dialog, IDC_STATUS));
            RunBatch(dialog, batch, IDC_OVERWRITE, status);
            Check(OutputSeconds(probe, again + "a.mp3") > 1.5 && OutputSeconds(probe, again + "c.mp3") > 1.5,
                  "the files converted in full");
            int boxes = RunBatch(dialog, batch, IDC_SKIP, status);
            auto texts = status.Texts();
            Check(boxes == 0 && texts.size() == 1 && Utf8(texts[0]) == "任务完成！" && !FileExists(again + "a(1).mp3"),
                  "skip-all visits every entry silently and ends with 任务完成！");
            status.Detach();
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            WaitFor([&] { return !IsWindow(dialog); });
        });
        DestroyWindow(main);
    }
}
