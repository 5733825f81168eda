#include "ScreenPlace.h"

#include "Windows.h"

std::string ConsoleClientOrigin()
{
    POINT origin{0, 0};
    ::ClientToScreen(WaitFor(FindConsole, 0, "console"), &origin);
    return std::to_string(origin.x) + " " + std::to_string(origin.y);
}
