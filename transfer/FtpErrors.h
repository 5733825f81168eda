#pragma once
// How the FTP route tells the user about WinINet's errors.
#include <windows.h>

#include <string>

// The text WinINet gives for `error`: its message from wininet.dll's
// message table, followed for ERROR_INTERNET_EXTENDED_ERROR by the server's
// reply `response`. Empty when WinINet has no text for it.
std::string InternetErrorText(DWORD error, const std::string& response);

// True when a failed transfer or directory call means the network or the
// target broke down (time-out, connection lost or refused, session dropped);
// false when the server answered and said no, or the local file could not be
// used. Only the first is worth interrupting the user for: a refusal is
// reported by the command that asked.
bool IsNetworkFailure(DWORD error);
