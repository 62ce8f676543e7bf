#include "progress_bar.h"

#include <cstdio>
#include <unistd.h>

ProgressBar::ProgressBar(std::string label) : label_(std::move(label)), terminal_(isatty(2) != 0) {}

ProgressBar::~ProgressBar() { done(); }

void ProgressBar::Callback(double position, double length, void* self)
{
    static_cast<ProgressBar*>(self)->update(position, length);
}

void ProgressBar::update(double position, double length)
{
    if (!terminal_ || position < 0) return;
    int percent = length > 0 ? static_cast<int>(position / length * 100) : 0;
    if (percent > 100) percent = 100;
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    const int width = 30;
    int filled = percent * width / 100;
    std::fprintf(stderr, "\r%s [", label_.c_str());
    for (int i = 0; i < width; ++i) std::fputc(i < filled ? '#' : '.', stderr);
    std::fprintf(stderr, "] %3d%%", percent);
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::done()
{
    if (drawn_) std::fputc('\n', stderr);
    drawn_ = false;
}
