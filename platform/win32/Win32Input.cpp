#include "platform/Input.h"

#include <windows.h>

// The live input state of Windows: asynchronous key state, cursor position, the tick
// count and the thread's message queue.
namespace platform
{

namespace
{

class Win32Input : public Input
{
public:
    bool isKeyDown(InputKey key) override
    {
        int virtualKey = VK_LBUTTON;
        switch (key)
        {
        case InputKey::LeftButton:
            virtualKey = VK_LBUTTON;
            break;
        case InputKey::MiddleButton:
            virtualKey = VK_MBUTTON;
            break;
        case InputKey::RightButton:
            virtualKey = VK_RBUTTON;
            break;
        case InputKey::Shift:
            virtualKey = VK_SHIFT;
            break;
        case InputKey::Control:
            virtualKey = VK_CONTROL;
            break;
        case InputKey::Alt:
            virtualKey = VK_MENU;
            break;
        }
        // The most significant bit says the key is down now.
        return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
    }
    void getCursorPosition(std::int32_t& x, std::int32_t& y) override
    {
        POINT p{};
        GetCursorPos(&p);
        x = p.x;
        y = p.y;
    }
    void getWindowOrigin(void* nativeWindow, std::int32_t& x, std::int32_t& y) override
    {
        RECT r{};
        if (nativeWindow == nullptr || !GetWindowRect(static_cast<HWND>(nativeWindow), &r))
        {
            r.left = 0;
            r.top = 0;
        }
        x = r.left;
        y = r.top;
    }
    std::uint32_t tickCountMs() override { return GetTickCount(); }
    std::uint32_t doubleClickTimeMs() override { return GetDoubleClickTime(); }
    std::uint32_t messageTimeMs() override { return static_cast<std::uint32_t>(GetMessageTime()); }
    bool takeLeftButtonPress() override
    {
        MSG message;
        return PeekMessageA(&message, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE | PM_NOYIELD) != 0;
    }
    bool areButtonsSwapped() override { return GetSystemMetrics(SM_SWAPBUTTON) != 0; }
};

} // namespace

Input& systemInput()
{
    static Win32Input input;
    return input;
}

} // namespace platform
