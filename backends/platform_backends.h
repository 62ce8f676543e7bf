#pragma once
// Installs the Win32 media back-ends into the engine; called once at start-up.
void InstallPlatformBackends();
