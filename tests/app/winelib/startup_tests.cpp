// Start-up of the real program in its own process: the command line as the shell extension
// passes it (raw text through CreateProcessA), Media.ini, and the interface language.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "driver_support.h"
#include "scenarios.h"

namespace {
struct Child {
    PROCESS_INFORMATION info{};
    HWND main = nullptr;
};

bool IsMainWindow(HWND window) { return GetDlgItem(window, 1006) && ClassOf(GetDlgItem(window, 1006)) == "SysListView32"; }

bool StartKelvra(const std::string& dir, const std::string& arguments, Child& child)
{
    std::string program = dir + "\\Kelvra.exe.so";
    std::string commandLine = "Kelvra.exe " + arguments;
    std::vector<char> text(commandLine.begin(), commandLine.end());
    text.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), text.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &startup,
                        &child.info))
        return false;
    WaitForInputIdle(child.info.hProcess, 5000);
    return true;
}

bool WaitForMain(Child& child)
{
    child.main = WaitForDialog(child.info.dwProcessId, IsMainWindow, 30000);
    return child.main != nullptr;
}

bool StopKelvra(Child& child)
{
    if (child.main) PostMessageA(child.main, WM_CLOSE, 0, 0);
    bool ended = WaitForSingleObject(child.info.hProcess, 20000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(child.info.hProcess, 1);
    CloseHandle(child.info.hProcess);
    CloseHandle(child.info.hThread);
    return ended;
}

// The list of another process is read through memory of that process.
struct RemoteList {
    HANDLE process;
    HWND list;
    char* remote = nullptr;

    RemoteList(HANDLE p, HWND l) : process(p), list(l)
    {
        remote = static_cast<char*>(VirtualAllocEx(process, nullptr, 8192, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteList()
    {
        if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    int Rows() { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int row, int column)
    {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = remote + 1024;
        item.cchTextMax = 4096;
        SIZE_T n;
        WriteProcessMemory(process, remote, &item, sizeof item, &n);
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote));
        char text[4096] = {};
        ReadProcessMemory(process, remote + 1024, text, sizeof text - 1, &n);
        return text;
    }
    std::string Heading(int column)
    {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT;
        col.pszText = remote + 1024;
        col.cchTextMax = 4096;
        SIZE_T n;
        WriteProcessMemory(process, remote, &col, sizeof col, &n);
        SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(remote));
        char text[4096] = {};
        ReadProcessMemory(process, remote + 1024, text, sizeof text - 1, &n);
        return text;
    }
    std::vector<std::string> Paths()
    {
        std::vector<std::string> paths;
        for (int i = 0; i < Rows(); ++i) paths.push_back(Cell(i, 2));
        return paths;
    }
};

void WriteAppLan(const std::string& dir, const char* value)
{
    WritePrivateProfileStringA("App", "AppLan", value, (dir + "\\Media.ini").c_str());
}

std::string Joined(const std::vector<std::string>& items)
{
    std::string all;
    for (const auto& s : items) all += "[" + s + "]";
    return all;
}
}  // namespace

void StartupTests(const std::string& dir, const std::string& media)
{
    const std::string spaced = media + "\\with space.wav";
    const std::string plain = media + "\\plain.wav";
    DeleteFileA((dir + "\\Media.ini").c_str());

    Note("quoted path with a blank, then a plain path, as the shell extension writes them");
    {
        Child child;
        Check(StartKelvra(dir, "\"" + spaced + "\" " + plain + " ", child), "Kelvra started");
        Check(WaitForMain(child), "main window shown");
        RemoteList list(child.info.hProcess, GetDlgItem(child.main, 1006));
        Check(Joined(list.Paths()) == Joined({spaced, plain}), "paths split: " + Joined(list.Paths()));
        Check(list.Cell(0, 0) == "with space" && list.Cell(1, 0) == "plain", "display names from the file names");
        Check(Utf8(list.Heading(0)) == "音乐文件" && Utf8(list.Heading(1)) == "长度" && Utf8(list.Heading(2)) == "路径",
              "Chinese column headings with AppLan absent on a Chinese system");
        char appPath[1024] = {};
        GetPrivateProfileStringA("App", "AppPath", "", appPath, sizeof appPath, (dir + "\\Media.ini").c_str());
        Check(std::string(appPath) == dir + "\\", std::string("AppPath written: ") + appPath);
        Check(StopKelvra(child), "closing the main window ends the process");
    }

    Note("two blanks give an empty path, which fails when added");
    {
        Child child;
        Check(StartKelvra(dir, plain + "  " + plain, child), "Kelvra started");
        std::string text = AnswerMessageBox(child.info.dwProcessId, IDOK);
        Check(Utf8(text) == "不能打开该文件，请确保该文件确实可用。", "the empty path is reported: " + Utf8(text));
        Check(WaitForMain(child), "main window shown");
        RemoteList list(child.info.hProcess, GetDlgItem(child.main, 1006));
        Check(Joined(list.Paths()) == Joined({plain, plain}), "the two real paths listed: " + Joined(list.Paths()));
        StopKelvra(child);
    }

    Note("an unquoted path with a blank splits in two; a last quoted path keeps no quote");
    {
        Child child;
        Check(StartKelvra(dir, media + "\\My Music\\x.wav \"" + spaced + "\"", child), "Kelvra started");
        AnswerMessageBox(child.info.dwProcessId, IDOK);
        AnswerMessageBox(child.info.dwProcessId, IDOK);
        Check(WaitForMain(child), "main window shown");
        RemoteList list(child.info.hProcess, GetDlgItem(child.main, 1006));
        Check(Joined(list.Paths()) == Joined({spaced}), "only the quoted path is listed: " + Joined(list.Paths()));
        StopKelvra(child);
    }

    Note("language: AppLan 2 is English from Velmar.dll, 3 and 0 are Chinese here");
    const struct { const char* appLan; const char* heading; } languages[] = {
        {"2", "Music file"}, {"3", "音乐文件"}, {"0", "音乐文件"}, {"1", "音乐文件"}};
    for (const auto& language : languages) {
        WriteAppLan(dir, language.appLan);
        Child child;
        Check(StartKelvra(dir, plain, child), "Kelvra started");
        Check(WaitForMain(child), "main window shown");
        RemoteList list(child.info.hProcess, GetDlgItem(child.main, 1006));
        Check(Utf8(list.Heading(0)) == language.heading,
              std::string("AppLan ") + language.appLan + " heading " + Utf8(list.Heading(0)));
        StopKelvra(child);
    }

    Note("AppLan 2 without Velmar.dll keeps the Chinese interface, without a message");
    WriteAppLan(dir, "2");
    MoveFileA((dir + "\\Velmar.dll").c_str(), (dir + "\\Velmar.dll.away").c_str());
    {
        Child child;
        Check(StartKelvra(dir, plain, child), "Kelvra started");
        Check(WaitForMain(child), "main window shown");
        RemoteList list(child.info.hProcess, GetDlgItem(child.main, 1006));
        Check(Utf8(list.Heading(0)) == "音乐文件", "Chinese heading: " + Utf8(list.Heading(0)));
        Check(!FindDialog(child.info.dwProcessId, IsMessageBox), "no message box");
        StopKelvra(child);
    }
    MoveFileA((dir + "\\Velmar.dll.away").c_str(), (dir + "\\Velmar.dll").c_str());
    DeleteFileA((dir + "\\Media.ini").c_str());
}
