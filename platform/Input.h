#pragma once

#include <cstdint>

// The live state of mouse, keyboard and clock that the toolkit polls: what is down at this
// instant, where the pointer is, what time it is. The toolkit never waits for events; its
// tracking loops poll through this interface, so a test can replace it with a script.
namespace platform
{

enum class InputKey
{
    LeftButton, // the physical buttons, before any swap the user set up
    MiddleButton,
    RightButton,
    Shift,
    Control,
    Alt
};

class Input
{
public:
    virtual ~Input() = default;

    virtual bool isKeyDown(InputKey key) = 0;
    // Pointer position in screen pixels.
    virtual void getCursorPosition(std::int32_t& x, std::int32_t& y) = 0;
    // Screen position of a window's top-left corner; (0, 0) for a null window.
    virtual void getWindowOrigin(void* nativeWindow, std::int32_t& x, std::int32_t& y) = 0;
    // Milliseconds since some start, wrapping at 2^32: compare unsigned.
    virtual std::uint32_t tickCountMs() = 0;
    virtual std::uint32_t doubleClickTimeMs() = 0;
    // Tick count at which the input message being handled was posted.
    virtual std::uint32_t messageTimeMs() = 0;
    // Removes one pending left-button press from the queue; false when there is none.
    virtual bool takeLeftButtonPress() = 0;
    // The user's "swap left and right buttons" setting.
    virtual bool areButtonsSwapped() = 0;
};

// The system's own input, provided by the backend the build uses.
Input& systemInput();
// The input the toolkit reads: the system's, unless a test installed its own.
Input& currentInput();
// Installs a replacement (not owned); null puts the system's back.
void setInput(Input* replacement);

} // namespace platform
