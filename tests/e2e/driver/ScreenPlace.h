#pragma once
// Where the console lies on the screen, for tests that read its pixels
// from a screenshot.
#include <string>

// "X Y": the screen position of the console's client area's top left corner.
std::string ConsoleClientOrigin();
