#pragma once
// A one-line progress bar on stderr, drawn only when stderr is a terminal.
#include <string>

class ProgressBar {
public:
    explicit ProgressBar(std::string label);
    ~ProgressBar();
    static void Callback(double position, double length, void* self);
    void update(double position, double length);
    void done();

private:
    std::string label_;
    bool terminal_;
    int lastPercent_ = -1;
    bool drawn_ = false;
};
