#include "HostEnv.h"

#include "Resources.h"

#include <windows.h>

#include <array>

namespace {
constexpr const char* kEntryPointNames[] = {
#include "EntryPointNames.inc"
};
constexpr int kEntryPointCount = sizeof kEntryPointNames / sizeof kEntryPointNames[0];
static_assert(kEntryPointCount == 230, "the library exports 230 entry points");

constexpr int kExpectedStructSize = 188910;
constexpr int kStructSizeIndex = 17;  // the 18th name, checked as soon as it is bound

using GetCurPathFn = int(__cdecl*)(char*, int);
using PingFn = int(__cdecl*)(const char*);
using StructSizeFn = int(__cdecl*)();

HMODULE g_library = nullptr;
std::array<FARPROC, kEntryPointCount> g_entryPoints{};

int IndexOf(const char* name)
{
    for (int i = 0; i < kEntryPointCount; ++i)
        if (std::string(kEntryPointNames[i]) == name)
            return i;
    return -1;
}

// GetProcAddress hands every entry point back as one generic function type.
template <typename Fn>
Fn AsEntryPoint(FARPROC proc)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

template <typename Fn>
Fn EntryPoint(const char* name)
{
    static const int index = IndexOf(name);
    return index < 0 ? nullptr : AsEntryPoint<Fn>(g_entryPoints[index]);
}

std::string LibraryFileName(int variant)
{
    switch (variant) {
    case 2: return "Kelvo2bX.dll";
    case 4: return "Kelvo4bX.dll";
    case 8: return "Kelvo8bX.dll";
    case 16: return "Kelvo16bX.dll";
    default: return "KelvoX.dll";
    }
}

std::string DirectoryOf(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Looks up every entry point in order; returns 1 or the failure code.
int BindEntryPoints(HMODULE library)
{
    for (int i = 0; i < kEntryPointCount; ++i) {
        g_entryPoints[i] = ::GetProcAddress(library, kEntryPointNames[i]);
        if (!g_entryPoints[i])
            return MissingEntryPointCode(i);
        if (i == kStructSizeIndex &&
            AsEntryPoint<StructSizeFn>(g_entryPoints[i])() != kExpectedStructSize)
            return kHostEnvWrongSize;
    }
    return kHostEnvLoaded;
}
}  // namespace

int MissingEntryPointCode(int index)
{
    // -117 is never used: the names after the 115th start at -118.
    return index < 115 ? -2 - index : -3 - index;
}

int LoadHostEnv(int variant)
{
    char systemDir[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(systemDir, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return kHostEnvUnavailable;
    char programPath[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, programPath, MAX_PATH);
    return LoadHostEnvFrom(variant, systemDir, DirectoryOf(programPath));
}

int LoadHostEnvFrom(int variant, const std::string& systemDir, const std::string& programDir)
{
    FreeHostEnv();
    const std::string source = programDir + "\\KelvoX.dll";
    const std::string target = systemDir + "\\" + LibraryFileName(variant);
    // The system directory is the library's home. Where the copy is refused
    // (an ordinary user may not write there), the library beside the program
    // serves instead, so that the program still starts.
    const bool copied = ::CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE;
    HMODULE library = nullptr;
    if (!copied)
        library = ::LoadLibraryA(source.c_str());
    if (!library)
        library = ::LoadLibraryA(target.c_str());
    if (!library)
        return kHostEnvLoadFailed;

    g_entryPoints.fill(nullptr);
    const HINSTANCE previousResources = AfxGetResourceHandle();
    AfxSetResourceHandle(library);
    const int result = BindEntryPoints(library);
    AfxSetResourceHandle(previousResources);
    if (result != kHostEnvLoaded) {
        g_entryPoints.fill(nullptr);
        ::FreeLibrary(library);
        return result;
    }
    g_library = library;
    return kHostEnvLoaded;
}

void FreeHostEnv()
{
    g_entryPoints.fill(nullptr);
    if (g_library)
        ::FreeLibrary(g_library);
    g_library = nullptr;
}

std::wstring HostEnvLibraryPath()
{
    wchar_t path[MAX_PATH] = L"";
    if (!g_library || !::GetModuleFileNameW(g_library, path, MAX_PATH))
        return std::wstring();
    return path;
}

int GetCurPath(char* buffer, int capacity)
{
    const auto fn = EntryPoint<GetCurPathFn>("GetCurPath");
    return fn ? fn(buffer, capacity) : kHostEnvUnavailable;
}

int Ping(const char* address)
{
    const auto fn = EntryPoint<PingFn>("Ping");
    return fn ? fn(address) : kHostEnvUnavailable;
}

int GetEnvStructSize()
{
    const auto fn = EntryPoint<StructSizeFn>("GetEnvStructSize");
    return fn ? fn() : kHostEnvUnavailable;
}
