#include "real_media_backend.h"
#include "windows_media_backend.h"

#include <atomic>

namespace {
std::atomic<WindowsMediaFactory> g_wmFactory{nullptr};
std::atomic<RealMediaFactory> g_realFactory{nullptr};
std::atomic<void*> g_mainWindow{nullptr};
}  // namespace

void SetWindowsMediaFactory(WindowsMediaFactory factory) { g_wmFactory = factory; }
WindowsMediaFactory GetWindowsMediaFactory() { return g_wmFactory; }
void SetRealMediaFactory(RealMediaFactory factory) { g_realFactory = factory; }
RealMediaFactory GetRealMediaFactory() { return g_realFactory; }
void SetApplicationMainWindow(void* window) { g_mainWindow = window; }
void* ApplicationMainWindow() { return g_mainWindow; }
