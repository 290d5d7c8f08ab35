#include "tools/thrummel/ProgressBar.h"

#include "tools/thrummel/System.h"

#include <cstdio>
#include <string>

namespace
{
// Renders quicker than this show no bar at all; after that it is redrawn at most ten times
// a second so that drawing never costs more than the processing.
constexpr auto kFirstDrawDelay = std::chrono::milliseconds(400);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 40;
} // namespace

ProgressBar::ProgressBar(std::size_t totalFrames)
    : total(totalFrames)
    , isEnabled(isStderrTerminal())
    , start(Clock::now())
    , lastDrawn(start)
{
}

ProgressBar::~ProgressBar()
{
    finish();
}

void ProgressBar::update(std::size_t framesDone)
{
    if (!isEnabled || total == 0)
    {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (now - start < kFirstDrawDelay || (hasDrawn && now - lastDrawn < kRedrawInterval))
    {
        return;
    }
    lastDrawn = now;
    hasDrawn = true;
    const double fraction = static_cast<double>(framesDone) / static_cast<double>(total);
    const int filled = static_cast<int>(fraction * kBarWidth);
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(kBarWidth - filled), '.');
    std::fprintf(stderr, "\rrendering [%s] %3d%%", bar.c_str(), static_cast<int>(fraction * 100.0));
    std::fflush(stderr);
}

void ProgressBar::finish()
{
    if (hasDrawn)
    {
        // Blank the line so that later messages start clean.
        std::fprintf(stderr, "\r%*s\r", kBarWidth + 20, "");
        std::fflush(stderr);
        hasDrawn = false;
    }
}
