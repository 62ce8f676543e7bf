#pragma once
// The main window: the file list, its commands and the context menu.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "converter.h"
#include "modal_dialog.h"

class SettingsFile;

// Private messages of the main window.
enum : UINT {
    WM_APP_ADD_ROW = WM_APP + 1,       // lParam: const FileRow*, sent by the add-files worker
    WM_APP_WORKER_DONE = WM_APP + 2,   // an add-files worker ended
};

struct FileRow {
    std::string name, length, path;
};

class MainDialog : public ModalDialog {
public:
    explicit MainDialog(SettingsFile& settings);
    ~MainDialog() override;

    void SetInitialFiles(std::vector<std::string> paths) { initialFiles_ = std::move(paths); }
    // Reads the file's information and appends its row; a file that cannot be read is reported.
    void AddFile(const std::string& path);
    Converter& GetConverter() { return *converter_; }
    // True while an add-files worker runs.
    bool AddFilesBusy() const { return runningWorkers_ > 0; }

protected:
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Anchor {
        int id;
        RECT rect;
    };

    void OnInitDialog();
    void OnCommand(int id);
    void AddFilesCommand();
    void BatchCommand();
    void MergeCommand();
    void CutCommand();
    void DeleteSelected();
    void ClearList();
    void Help();
    void About();
    void SetLanguage(int appLan);
    void ShowContextMenu();
    void CheckLanguageItems(HMENU menu);
    void CaptureAnchors();
    void ApplyLayout(int width, int height);
    void PaintMinimised();
    void Close();

    EngineResult ReadRow(const std::string& path, FileRow& row);
    void AppendRow(const FileRow& row);
    std::vector<std::string> AllPaths() const;
    int RowCount() const;
    void ReapWorkers();
    static DWORD WINAPI AddFilesWorker(LPVOID job);

    SettingsFile& settings_;
    std::unique_ptr<Converter> converter_;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    std::vector<std::string> initialFiles_;
    std::vector<std::string> pendingFiles_;
    CRITICAL_SECTION mediaInfoLock_;
    std::vector<HANDLE> workers_;
    std::atomic<int> runningWorkers_{0};
    std::atomic<bool> closing_{false};
    RECT anchorClient_{};
    std::vector<Anchor> anchors_;
    bool anchorsCaptured_ = false;
};
