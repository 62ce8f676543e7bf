#pragma once
// What the batch and merge dialogs share: the borrowed Converter, one worker thread at a time,
// the running flag, and a close that never ends the dialog while its worker runs.
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "modal_dialog.h"

class Converter;

enum : UINT { WM_APP_CONVERSION_DONE = WM_APP + 10 };

class ConversionDialog : public ModalDialog {
public:
    void SetSources(std::vector<std::string> paths) { sources_ = std::move(paths); }
    bool ConversionRunning() const { return conversionRunning_; }
    bool WorkerActive() const { return workerActive_; }

protected:
    ConversionDialog(int templateId, Converter& converter, HWND mainWindow);
    ~ConversionDialog() override;

    // Starts Work() on a thread unless one is still active; false when none was started.
    bool StartWorker();
    virtual void Work() = 0;
    // The close command, Enter and Esc all come here.
    void OnCloseRequest();
    // Handles the messages common to both dialogs; true when handled.
    bool HandleCommon(UINT message, WPARAM wParam);
    // Sets the progress bar from the worker: posted, so updates keep their order.
    void PostProgress(int percent) const;
    // The probe path of the format lists: dir + the first list entry named for the format.
    std::string ProbePathIn(const std::string& dir, int listId, const std::string& format) const;

    Converter& converter_;
    HWND mainWindow_;
    std::vector<std::string> sources_;
    std::atomic<bool> conversionRunning_{false};

private:
    static DWORD WINAPI WorkerEntry(LPVOID self);
    HANDLE worker_ = nullptr;
    std::atomic<bool> workerActive_{false};
};

// The file name of a path: the text after its last "\".
std::string FileNameOf(const std::string& path);
