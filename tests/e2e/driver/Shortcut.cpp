#include "Shortcut.h"

#include "Windows.h"

#include <objbase.h>
#include <shlobj.h>

namespace {
// Releases a COM interface when it goes out of scope.
template <typename T>
struct Released {
    T* p = nullptr;
    ~Released()
    {
        if (p)
            p->Release();
    }
};
}  // namespace

std::string ShortcutTargetAndFolder(const std::wstring& linkPath)
{
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        throw DriverError("COM did not start");
    Released<IShellLinkW> link;
    Released<IPersistFile> file;
    wchar_t target[MAX_PATH] = L"";
    wchar_t folder[MAX_PATH] = L"";
    const bool read =
        SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link.p))) &&
        SUCCEEDED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) &&
        SUCCEEDED(file.p->Load(linkPath.c_str(), STGM_READ)) &&
        SUCCEEDED(link.p->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
        SUCCEEDED(link.p->GetWorkingDirectory(folder, MAX_PATH));
    if (!read)
        throw DriverError("not a readable shortcut: " + ToUtf8(linkPath));
    return ToUtf8(target) + "\n" + ToUtf8(folder);
}
