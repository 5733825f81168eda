#include "RecordText.h"

namespace {
constexpr UINT kProgramCodePage = 936;

std::wstring Widen(UINT codePage, const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}
}  // namespace

std::string Utf8FromWide(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], length, nullptr,
                          nullptr);
    return utf8;
}

std::string Utf8FromProgramText(const std::string& text) { return Utf8FromWide(Widen(kProgramCodePage, text)); }

std::string Utf8FromSystemText(const std::string& text) { return Utf8FromWide(Widen(CP_ACP, text)); }

std::string Utf8FromPeerText(const std::string& text)
{
    if (text.empty() ||
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0) > 0)
        return text;
    return Utf8FromSystemText(text);
}
