#include "application.h"

#include <commctrl.h>
#include <objbase.h>

#include "command_line_split.h"
#include "language_choice.h"
#include "main_dialog.h"
#include "platform_backends.h"
#include "resource_module.h"
#include "skin/skin_engine.h"
#include "text_codepage.h"

std::string ProgramDirectory()
{
    char path[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir = path;
    size_t slash = dir.rfind('\\');
    return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

bool Application::Start(const std::string& commandLine)
{
    SetAnsiCodePage(GetACP());
    InstallPlatformBackends();

    // Controls of the common-controls library in the dialogs (the control container's part).
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    SkinInitialize(instance_, "SCRIBBLE");
    SkinLoadFromResource(instance_, "SKIN", "SKIN1");

    CoInitialize(nullptr);

    std::string dir = ProgramDirectory();
    settings_.Bind(dir + "Media.ini");
    settings_.WriteText("App", "AppPath", dir.c_str());

    int appLan = settings_.ReadInt("App", "AppLan", 0, 10);
    if (UseEnglishInterface(appLan, GetSystemDefaultLangID())) {
        resourceLibrary_ = LoadLibraryA("Velmar.dll");
        if (resourceLibrary_) SetResourceModule(resourceLibrary_);
    }

    MainDialog* dialog = new MainDialog(settings_);
    if (!commandLine.empty()) dialog->SetInitialFiles(SplitCommandLine(commandLine));
    dialog->Run(nullptr);
    delete dialog;
    return false;
}

void Application::Exit()
{
    SkinShutdown();
    CoUninitialize();
    if (resourceLibrary_) {
        SetResourceModule(nullptr);
        FreeLibrary(resourceLibrary_);
        resourceLibrary_ = nullptr;
    }
}
