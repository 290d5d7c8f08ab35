#include "platform/Input.h"

#include <chrono>

// Input of a system without a window backend: no button or key is ever down, the pointer
// rests at (0, 0) and the clock is the monotonic one.
namespace platform
{

namespace
{

class HeadlessInput : public Input
{
public:
    bool isKeyDown(InputKey) override { return false; }
    void getCursorPosition(std::int32_t& x, std::int32_t& y) override
    {
        x = 0;
        y = 0;
    }
    void getWindowOrigin(void*, std::int32_t& x, std::int32_t& y) override
    {
        x = 0;
        y = 0;
    }
    std::uint32_t tickCountMs() override
    {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }
    std::uint32_t doubleClickTimeMs() override { return 500; }
    std::uint32_t messageTimeMs() override { return tickCountMs(); }
    bool takeLeftButtonPress() override { return false; }
    bool areButtonsSwapped() override { return false; }
};

} // namespace

Input& systemInput()
{
    static HeadlessInput input;
    return input;
}

} // namespace platform
