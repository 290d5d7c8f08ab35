#pragma once

#include <chrono>
#include <cstddef>

// A one-line progress bar on stderr for renders that take more than a moment. It stays
// silent when stderr is not a terminal and for renders that finish within the delay.
class ProgressBar
{
public:
    explicit ProgressBar(std::size_t totalFrames);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(std::size_t framesDone);
    // Clears the bar's line, if one was drawn.
    void finish();

private:
    using Clock = std::chrono::steady_clock;

    std::size_t total;
    bool isEnabled;
    bool hasDrawn = false;
    Clock::time_point start;
    Clock::time_point lastDrawn;
};
