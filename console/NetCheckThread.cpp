#include "BrantelDlg.h"
#include "HostEnv.h"
#include "NetState.h"
#include "SessionRecord.h"
#include "TextCodePages.h"

namespace {
constexpr int kAnswersForReachable = 5;
constexpr DWORD kCycleSleepMs = 100;
}

DWORD WINAPI NetCheckThread(LPVOID dialog)
{
    ::ResetEvent(g_hNetCheckDone);
    auto* console = static_cast<CBrantelDlg*>(dialog);
    if (!console)
        return static_cast<DWORD>(-1);
    int answered = 0;
    while (g_bStopNetCheck.load(std::memory_order_relaxed) == 0) {
        char address[CTargetAddress::kCapacity];
        g_szTargetIp.CopyTo(address);
        const bool answer = Ping(address) != 0;
        for (const std::string& line : console->Restarts().Probe(address, answer, ::GetTickCount64()))
            g_sessionRecord.Write(line);
        if (answer) {
            if (++answered >= kAnswersForReachable) {
                g_bNetOk.store(1, std::memory_order_relaxed);
                answered = 0;
            }
        } else {
            answered = 0;
            g_bNetOk.store(0, std::memory_order_relaxed);
        }
        ::Sleep(kCycleSleepMs);
        // Never waits for the dialog; once its window has gone the post is
        // simply dropped.
        if (HWND window = console->NetStatusWindow())
            ::PostMessageA(window, WM_NETSTATUS, 0, 0);
    }
    ::SetEvent(g_hNetCheckDone);
    return 1;
}
