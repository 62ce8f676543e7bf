#pragma once
// The driver's scenarios; each records its failures through Check().
#include <string>

// dir: the folder holding Kelvra.exe.so and Velmar.dll.so; media: the test's media folder.
void StartupTests(const std::string& dir, const std::string& media);
void MainWindowTests(const std::string& media, const std::string& work);
void BatchTests(const std::string& media, const std::string& work);
void MergeTests(const std::string& media, const std::string& work);
void ResourceTests();
// Shows the three windows with files and asks the script for pictures of them.
void Screenshots(const std::string& media, const std::string& work, const std::string& language);
