// Kelvra's entry point: the application runs its main window modally, then exits.
#include <windows.h>

#include "application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    Application app(instance);
    app.Start(commandLine ? commandLine : "");
    app.Exit();
    return 0;
}
