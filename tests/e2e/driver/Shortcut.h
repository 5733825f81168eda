#pragma once
// Reading a shell link (.lnk) the way the shell does when the user starts it.
#include <string>

// Two lines: the link's target path and its working folder. Throws
// DriverError when the file is no readable link.
std::string ShortcutTargetAndFolder(const std::wstring& linkPath);
