// The program's manifest as Windows reads it when it starts the program: an
// activation context made from Brantel.exe's own manifest resource, asked
// what it declares. And the version the program declares, in the manifest
// and in its version resource: the project's.
#include "TestDirs.h"
#include "version.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {
class ProgramActivationContext {
public:
    ProgramActivationContext()
    {
        const std::string program = TestBinaryDir() + "\\..\\bin\\Brantel.exe";
        ACTCTXA request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = program.c_str();
        request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
        m_context = ::CreateActCtxA(&request);
    }
    ~ProgramActivationContext()
    {
        if (m_context != INVALID_HANDLE_VALUE)
            ::ReleaseActCtx(m_context);
    }
    HANDLE get() const { return m_context; }

private:
    HANDLE m_context;
};

std::wstring Setting(HANDLE context, const wchar_t* schema, const wchar_t* name)
{
    wchar_t value[64] = L"";
    SIZE_T written = 0;
    if (!::QueryActCtxSettingsW(0, context, schema, name, value, 64, &written))
        return L"(not declared)";
    return value;
}

// The supportedOS ids. The element layout grew a 64-bit field in later
// versions of Windows; which one the system filled in shows in the size it
// reports.
std::set<std::wstring> SupportedSystems(HANDLE context)
{
    SIZE_T needed = 0;
    ::QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed < sizeof(DWORD) ||
        !::QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, buffer.data(),
                        buffer.size(), &needed))
        return {};
    const DWORD count = *reinterpret_cast<const DWORD*>(buffer.data());
    struct Layout { size_t first, stride; };
    size_t first = 0, stride = 0;
    for (const Layout layout : {Layout{4, 20}, Layout{8, 32}})
        if (needed == layout.first + count * layout.stride)
            first = layout.first, stride = layout.stride;
    std::set<std::wstring> ids;
    for (DWORD i = 0; stride && i < count; ++i) {
        const BYTE* element = buffer.data() + first + i * stride;
        const auto type = *reinterpret_cast<const DWORD*>(element + sizeof(GUID));
        if (type != ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS)
            continue;
        wchar_t text[40] = L"";
        ::StringFromGUID2(*reinterpret_cast<const GUID*>(element), text, 40);
        ids.insert(text);
    }
    return ids;
}

TEST(Manifest, DeclaresSystemDpiAwarenessForEveryWindowsThatReadsIt)
{
    ProgramActivationContext context;
    ASSERT_NE(context.get(), INVALID_HANDLE_VALUE) << ::GetLastError();
    // Windows 10 from 1607 on reads dpiAwareness; earlier ones read dpiAware.
    EXPECT_EQ(Setting(context.get(), L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"system");
    EXPECT_EQ(Setting(context.get(), L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
              L"true");
}

TEST(Manifest, NamesWindows7To11AsSupported)
{
    ProgramActivationContext context;
    ASSERT_NE(context.get(), INVALID_HANDLE_VALUE) << ::GetLastError();
    const std::set<std::wstring> expected = {
        L"{35138B9A-5D96-4FBD-8E2D-A2440225F93A}",  // Windows 7
        L"{4A2F28E3-53B9-4441-BA9C-D69D4A4A6E38}",  // Windows 8
        L"{1F676C76-80E1-4239-95BB-83D0F6D0DA78}",  // Windows 8.1
        L"{8E0F7A12-BFB3-4FE8-B9A5-48FD50A15A9A}",  // Windows 10 and 11
    };
    EXPECT_EQ(SupportedSystems(context.get()), expected);
}
std::wstring ProgramPath() { return std::filesystem::path(TestBinaryDir() + "\\..\\bin\\Brantel.exe").wstring(); }

TEST(Version, ResourceAndManifestCarryTheProjectsVersion)
{
    const std::wstring program = ProgramPath();
    DWORD ignored = 0;
    std::vector<char> info(::GetFileVersionInfoSizeW(program.c_str(), &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    char four[32];
    std::snprintf(four, sizeof four, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(std::string(four), BRANTEL_VERSION_FOUR);
    EXPECT_EQ(std::string(BRANTEL_VERSION_FOUR), std::string(BRANTEL_VERSION) + ".0");

    HMODULE image = ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    HRSRC resource = ::FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(resource, nullptr);
    const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(image, resource))),
                               ::SizeofResource(image, resource));
    ::FreeLibrary(image);
    EXPECT_NE(manifest.find(std::string("<assemblyIdentity version=\"") + BRANTEL_VERSION_FOUR + "\""),
              std::string::npos)
        << manifest;
}
}  // namespace
