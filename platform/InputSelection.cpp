#include "platform/Input.h"

// Which input the toolkit reads: the backend's, or a test's script while one is installed.
namespace platform
{

namespace
{
// Owned by the test that installed it; null means the system's.
Input* gReplacementInput = nullptr;
} // namespace

Input& currentInput()
{
    return gReplacementInput != nullptr ? *gReplacementInput : systemInput();
}

void setInput(Input* replacement)
{
    gReplacementInput = replacement;
}

} // namespace platform
