// Test driver for Kelvra under Wine: hosts the program's windows (or starts the program) and
// drives them with window messages. Usage: kelvra-app-driver SCENARIO ARGS...
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "driver_support.h"
#include "platform_backends.h"
#include "resource_module.h"
#include "scenarios.h"
#include "skin/skin_engine.h"
#include "text_codepage.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: kelvra-app-driver resources | startup DIR MEDIA | main|batch|merge MEDIA WORK | "
                    "screens MEDIA WORK zh|en\n");
        return 2;
    }
    SetAnsiCodePage(GetACP());
    InstallPlatformBackends();
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    SkinInitialize(GetModuleHandleA(nullptr), "SCRIBBLE");
    SkinLoadFromResource(GetModuleHandleA(nullptr), "SKIN", "SKIN1");
    std::printf("code page %u\n", GetACP());

    std::string scenario = argv[1];
    auto arg = [&](int i) { return i < argc ? std::string(argv[i]) : std::string(); };
    if (scenario == "resources") ResourceTests();
    else if (scenario == "startup") StartupTests(arg(2), arg(3));
    else if (scenario == "main") MainWindowTests(arg(2), arg(3));
    else if (scenario == "batch") BatchTests(arg(2), arg(3));
    else if (scenario == "merge") MergeTests(arg(2), arg(3));
    else if (scenario == "screens") {
        HMODULE english = nullptr;
        if (arg(4) == "en") {
            english = LoadLibraryA("Velmar.dll");
            Check(english != nullptr, "Velmar.dll loads");
            SetResourceModule(english);
        }
        Screenshots(arg(2), arg(3), arg(4));
        SetResourceModule(nullptr);
        if (english) FreeLibrary(english);
    } else {
        std::printf("unknown scenario %s\n", scenario.c_str());
        return 2;
    }
    SkinShutdown();
    std::printf("%d failure(s)\n", Failures());
    return Failures() == 0 ? 0 : 1;
}
