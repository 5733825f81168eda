#include "FtpErrors.h"

#include <wininet.h>

std::string InternetErrorText(DWORD error, const std::string& response)
{
    std::string text;
    char* message = nullptr;
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    ::GetModuleHandleA("wininet.dll"), error, 0,
                                    reinterpret_cast<char*>(&message), 0, nullptr);
    if (length && message)
        text.assign(message, length);
    if (message)
        ::LocalFree(message);
    if (error == ERROR_INTERNET_EXTENDED_ERROR)
        text += response;
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

bool IsNetworkFailure(DWORD error)
{
    // Errors outside WinINet's range come from the local side (a missing or
    // locked local file, a bad argument): nothing went wrong on the wire.
    if (error < INTERNET_ERROR_BASE || error > INTERNET_ERROR_LAST)
        return false;
    switch (error) {
    case ERROR_INTERNET_EXTENDED_ERROR:  // the server answered with a refusal (550, 553, 452 ...)
    case ERROR_INTERNET_LOGIN_FAILURE:   // 530 to a transfer command
        return false;
    default:
        // Time-out (12002), cancelled (12017), data connection refused (425,
        // 12029), aborted (426, 12030), reset (12031), session dropped ...
        return true;
    }
}
