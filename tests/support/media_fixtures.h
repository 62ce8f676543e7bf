#pragma once
// Real media files made for a test with the ffmpeg and sox command-line tools.
#include <string>

// A fresh, empty directory for the running test (under the build tree's test-tmp).
std::string TestDir();

// Runs a shell command; true when it exits 0.
bool Run(const std::string& command);
std::string Quote(const std::string& text);

// A sine tone of the given length, rate and channels, encoded by ffmpeg into the container
// and codec its name implies. extraArgs go before the output name (for tags or codec options).
std::string MakeTone(const std::string& path, double seconds, int rate = 44100, int channels = 2,
                     const std::string& extraArgs = "", double frequency = 440);
