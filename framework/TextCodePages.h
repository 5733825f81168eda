#pragma once
// The program's own texts are narrow strings in code page 936 whatever code
// page the system runs with; texts that come from the system (file paths,
// its error texts) are in the system's ANSI code page. Where a text meets the
// screen it goes through the wide calls, converted from the code page it is
// in, so that it reads right on an English or a UTF-8 Windows too.
#include <windows.h>

#include <string>

// A text of the program's own, for the wide calls.
std::wstring ProgramTextToWide(const char* text);
// A text of the system's (one of its error texts), for the wide calls.
std::wstring SystemTextToWide(const char* text);
// A wide text from the system (a path the file dialog gave) in the system's
// code page, the form the rest of the program keeps paths in.
std::string WideToSystemText(const std::wstring& text);
