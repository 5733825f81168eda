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

std::string FromWide(UINT codePage, const std::wstring& text)
{
    const int length = ::WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, text.c_str(), -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(length) - 1);
    return narrow;
}
}  // namespace

std::wstring ProgramTextToWide(const char* text) { return ToWide(kProgramCodePage, text); }

std::wstring SystemTextToWide(const char* text) { return ToWide(CP_ACP, text); }

std::string WideToSystemText(const std::wstring& text) { return FromWide(CP_ACP, text); }

std::string Utf8FromWide(const std::wstring& text) { return FromWide(CP_UTF8, text); }

std::string Utf8FromProgramText(const std::string& text) { return Utf8FromWide(ProgramTextToWide(text.c_str())); }

std::string Utf8FromSystemText(const std::string& text) { return Utf8FromWide(SystemTextToWide(text.c_str())); }

std::string Utf8FromPeerText(const std::string& text)
{
    if (text.empty() ||
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0) > 0)
        return text;
    return Utf8FromSystemText(text);
}
