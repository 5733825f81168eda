#pragma once
// The record is UTF-8. The program's own texts are code page 936 and texts
// from the system (paths, WinINet's texts, a server's replies) are in the
// system's ANSI code page: each is converted from its own.
#include <windows.h>

#include <string>

std::string Utf8FromProgramText(const std::string& text);
std::string Utf8FromSystemText(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
// A text from an SSH server, which should be UTF-8: kept when it is,
// otherwise taken to be in the system's code page.
std::string Utf8FromPeerText(const std::string& text);
