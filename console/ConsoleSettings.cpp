#include "ConsoleSettings.h"

#include <commctrl.h>

#include <cstdio>

std::string SettingsFilePath(const char* settingsDir)
{
    return std::string(settingsDir) + "\\Brantel.cfg";
}

std::string ReadSavedTargetAddress(const char* settingsDir)
{
    char address[100] = "";
    ::GetPrivateProfileStringA("Brantel", "IP", kDefaultTargetAddress, address, sizeof address,
                               SettingsFilePath(settingsDir).c_str());
    return address;
}

void SaveTargetAddress(const char* settingsDir, const char* address)
{
    ::WritePrivateProfileStringA("Brantel", "IP", address, SettingsFilePath(settingsDir).c_str());
}

std::string FormatStatusLine(const std::tm& now, const char* address)
{
    char clock[128];
    const size_t length = std::strftime(clock, sizeof clock, "%Y - %m - %d %H:%M:%S", &now);
    return std::string(clock, length) + "/" + address;
}

bool ParseDottedAddress(const char* text, DWORD& packed)
{
    unsigned fields[4];
    char rest;
    if (std::sscanf(text, "%3u.%3u.%3u.%3u%c", &fields[0], &fields[1], &fields[2], &fields[3], &rest) != 4)
        return false;
    for (unsigned field : fields)
        if (field > 255)
            return false;
    packed = MAKEIPADDRESS(fields[0], fields[1], fields[2], fields[3]);
    return true;
}
