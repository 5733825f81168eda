#pragma once
// The console's settings file, "Brantel.cfg" in the settings directory, and
// the texts the console shows.
#include <windows.h>

#include <ctime>
#include <string>

// The target address a first start offers: the controllers' factory address.
constexpr const char* kDefaultTargetAddress = "192.168.10.20";

std::string SettingsFilePath(const char* settingsDir);
// The saved target address, at most 99 characters; the default when the
// file or the key is missing.
std::string ReadSavedTargetAddress(const char* settingsDir);
void SaveTargetAddress(const char* settingsDir, const char* address);

// "2026 - 12 - 07 04:20:41/192.168.10.20": the clock, "/", the address. A
// time that does not format gives an empty clock part.
std::string FormatStatusLine(const std::tm& now, const char* address);

// Dotted IPv4 text to the packed form of the IP address control; false for
// anything else.
bool ParseDottedAddress(const char* text, DWORD& packed);
