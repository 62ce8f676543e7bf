#pragma once
// Start and exit of the program: skin, COM, Media.ini, the interface language, the command
// line, and the main window run modally.
#include <windows.h>

#include <string>

#include "settings_file.h"

class Application {
public:
    explicit Application(HINSTANCE instance) : instance_(instance) {}
    // Runs the main window to its end; returns false so that no message loop follows.
    bool Start(const std::string& commandLine);
    void Exit();

    const SettingsFile& Settings() const { return settings_; }
    HMODULE ResourceLibrary() const { return resourceLibrary_; }

private:
    HINSTANCE instance_;
    HMODULE resourceLibrary_ = nullptr;
    SettingsFile settings_;
};

// The directory of the running program, ending in "\".
std::string ProgramDirectory();
