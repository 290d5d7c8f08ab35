#pragma once

#include "platform/Input.h"

#include <cstdint>
#include <vector>

namespace platform
{

// Input that a test writes in advance: key states, pointer moves and button presses, each
// at a scripted time. Every query costs one poll: the clock moves on by pollCostMs and the
// events that have come due are applied, so a tracking loop walks through the script
// deterministically and always ends.
class ScriptedInput : public Input
{
public:
    // The clock starts at startMs; nothing is down, the pointer is at (0, 0).
    explicit ScriptedInput(std::uint32_t startMs = 1000);

    void setPollCostMs(std::uint32_t costMs) { pollCostMs = costMs; }
    void setDoubleClickTimeMs(std::uint32_t timeMs) { doubleClickMs = timeMs; }
    void setMessageTimeMs(std::uint32_t timeMs) { messageMs = timeMs; }
    void setButtonsSwapped(bool isSwapped) { buttonsSwapped = isSwapped; }
    void setWindowOrigin(std::int32_t x, std::int32_t y);
    // Immediate changes.
    void setKeyDown(InputKey key, bool isDown);
    void setCursor(std::int32_t x, std::int32_t y);
    // Changes that happen when the clock reaches timeMs.
    void keyAt(std::uint32_t timeMs, InputKey key, bool isDown);
    void cursorAt(std::uint32_t timeMs, std::int32_t x, std::int32_t y);
    // A left-button press message queued at timeMs.
    void pressAt(std::uint32_t timeMs);

    std::uint32_t now() const { return clockMs; }
    int queuedPresses() const { return pendingPresses; }
    int pollCount() const { return polls; }

    bool isKeyDown(InputKey key) override;
    void getCursorPosition(std::int32_t& x, std::int32_t& y) override;
    void getWindowOrigin(void* nativeWindow, std::int32_t& x, std::int32_t& y) override;
    std::uint32_t tickCountMs() override;
    std::uint32_t doubleClickTimeMs() override;
    std::uint32_t messageTimeMs() override;
    bool takeLeftButtonPress() override;
    bool areButtonsSwapped() override;

private:
    enum class EventKind
    {
        Key,
        Cursor,
        Press
    };
    struct Event
    {
        std::uint32_t timeMs;
        EventKind kind;
        InputKey key;
        bool isDown;
        std::int32_t x;
        std::int32_t y;
    };

    void poll();
    void apply(const Event& event);

    std::uint32_t clockMs;
    std::uint32_t pollCostMs = 1;
    std::uint32_t doubleClickMs = 500;
    std::uint32_t messageMs;
    bool buttonsSwapped = false;
    bool keys[6] = {};
    std::int32_t cursorX = 0;
    std::int32_t cursorY = 0;
    std::int32_t originX = 0;
    std::int32_t originY = 0;
    int pendingPresses = 0;
    int polls = 0;
    std::vector<Event> events; // in the order they were scripted
};

} // namespace platform
