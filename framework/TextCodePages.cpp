#include "TextCodePages.h"

namespace {
constexpr UINT kProgramCodePage = 936;

std::wstring ToWide(UINT codePage, const char* text)
{
    const int length = ::MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}
}  // namespace

std::wstring ProgramTextToWide(const char* text) { return ToWide(kProgramCodePage, text); }

std::wstring SystemTextToWide(const char* text) { return ToWide(CP_ACP, text); }

std::string WideToSystemText(const std::wstring& text)
{
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(length) - 1);
    return narrow;
}
