#pragma once
// The program's own texts are narrow strings in code page 936 whatever code
// page the system runs with; texts that come from the system (file paths,
// its error texts) are in the system's ANSI code page. Where a text meets the
// screen it goes through the wide calls, converted from the code page it is
// in, so that it reads right on an English or a UTF-8 Windows too; where it
// goes into the session record, which is UTF-8, it is converted the same way.
#include <windows.h>

#include <string>

// A text of the program's own, for the wide calls.
std::wstring ProgramTextToWide(const char* text);
// A text of the system's (one of its error texts), for the wide calls.
std::wstring SystemTextToWide(const char* text);
// A wide text from the system (a path the file dialog gave) in the system's
// code page, the form the rest of the program keeps paths in.
std::string WideToSystemText(const std::wstring& text);

// Texts for the session record, in UTF-8, each from its own code page.
std::string Utf8FromProgramText(const std::string& text);
std::string Utf8FromSystemText(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
// A text from an SSH server, which should be UTF-8: kept when it is,
// otherwise taken to be in the system's code page.
std::string Utf8FromPeerText(const std::string& text);
