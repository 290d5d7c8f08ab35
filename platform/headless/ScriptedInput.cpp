#include "platform/headless/ScriptedInput.h"

#include <algorithm>

namespace platform
{

ScriptedInput::ScriptedInput(std::uint32_t startMs)
    : clockMs(startMs)
    , messageMs(startMs)
{
}

void ScriptedInput::setWindowOrigin(std::int32_t x, std::int32_t y)
{
    originX = x;
    originY = y;
}

void ScriptedInput::setKeyDown(InputKey key, bool isDown)
{
    keys[static_cast<int>(key)] = isDown;
}

void ScriptedInput::setCursor(std::int32_t x, std::int32_t y)
{
    cursorX = x;
    cursorY = y;
}

void ScriptedInput::keyAt(std::uint32_t timeMs, InputKey key, bool isDown)
{
    events.push_back({timeMs, EventKind::Key, key, isDown, 0, 0});
}

void ScriptedInput::cursorAt(std::uint32_t timeMs, std::int32_t x, std::int32_t y)
{
    events.push_back({timeMs, EventKind::Cursor, InputKey::LeftButton, false, x, y});
}

void ScriptedInput::pressAt(std::uint32_t timeMs)
{
    events.push_back({timeMs, EventKind::Press, InputKey::LeftButton, true, 0, 0});
}

void ScriptedInput::apply(const Event& event)
{
    switch (event.kind)
    {
    case EventKind::Key:
        setKeyDown(event.key, event.isDown);
        break;
    case EventKind::Cursor:
        setCursor(event.x, event.y);
        break;
    case EventKind::Press:
        ++pendingPresses;
        break;
    }
}

void ScriptedInput::poll()
{
    ++polls;
    clockMs += pollCostMs;
    // Stable: events due at the same time apply in the order they were scripted.
    auto due = std::stable_partition(events.begin(), events.end(),
                                     [this](const Event& e)
                                     { return static_cast<std::int32_t>(e.timeMs - clockMs) <= 0; });
    for (auto it = events.begin(); it != due; ++it)
    {
        apply(*it);
    }
    events.erase(events.begin(), due);
}

bool ScriptedInput::isKeyDown(InputKey key)
{
    poll();
    return keys[static_cast<int>(key)];
}

void ScriptedInput::getCursorPosition(std::int32_t& x, std::int32_t& y)
{
    poll();
    x = cursorX;
    y = cursorY;
}

void ScriptedInput::getWindowOrigin(void* nativeWindow, std::int32_t& x, std::int32_t& y)
{
    x = nativeWindow != nullptr ? originX : 0;
    y = nativeWindow != nullptr ? originY : 0;
}

std::uint32_t ScriptedInput::tickCountMs()
{
    poll();
    return clockMs;
}

std::uint32_t ScriptedInput::doubleClickTimeMs()
{
    return doubleClickMs;
}

std::uint32_t ScriptedInput::messageTimeMs()
{
    return messageMs;
}

bool ScriptedInput::takeLeftButtonPress()
{
    poll();
    if (pendingPresses == 0)
    {
        return false;
    }
    --pendingPresses;
    return true;
}

bool ScriptedInput::areButtonsSwapped()
{
    return buttonsSwapped;
}

} // namespace platform
