#include "media_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

std::string TestDir()
{
    // Each test runs in its own process; a suite's shared files get a directory per process.
    const auto* unit = ::testing::UnitTest::GetInstance();
    const auto* info = unit->current_test_info();
    const auto* suite = unit->current_test_suite();
    std::string name = info    ? std::string(info->test_suite_name()) + "." + info->name()
                       : suite ? std::string(suite->name()) + ".suite." + std::to_string(getpid())
                               : "global." + std::to_string(getpid());
    for (auto& c : name)
        if (c == '/') c = '_';
    fs::path dir = fs::current_path() / "test-tmp" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string Quote(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

std::string MakeTone(const std::string& path, double seconds, int rate, int channels, const std::string& extraArgs,
                     double frequency)
{
    std::string cmd = "ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=" + std::to_string(frequency) +
                      ":sample_rate=" + std::to_string(rate) + ":duration=" + std::to_string(seconds) + "' -ac " +
                      std::to_string(channels) + " " + extraArgs + " " + Quote(path);
    EXPECT_TRUE(Run(cmd)) << cmd;
    return path;
}
