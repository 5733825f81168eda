#pragma once
// State that the dialog's thread and the reachability worker share.
#include <windows.h>

#include <atomic>
#include <mutex>

// 1 while the target answers (set on the fifth answered probe in a row,
// cleared at the first unanswered one). Written by the worker only.
extern std::atomic<int> g_bNetOk;
// Set to 1 by Exit to ask the worker to stop; never set back.
extern std::atomic<int> g_bStopNetCheck;
// Manual-reset event the worker sets when it leaves its loop.
extern HANDLE g_hNetCheckDone;

// Posted by the worker after every probe; both parameters 0.
constexpr UINT WM_NETSTATUS = WM_USER + 1000;

// The target address that the worker probes. The dialog's thread replaces
// it while the worker reads it, so both go through a lock and the worker
// always sees a whole address.
class CTargetAddress {
public:
    static constexpr size_t kCapacity = 100;
    // Copies at most 99 characters of `text`.
    void Set(const char* text);
    // Copies the whole address, NUL-terminated, into `out`.
    void CopyTo(char (&out)[kCapacity]) const;

private:
    mutable std::mutex m_lock;
    char m_text[kCapacity] = "";
};
extern CTargetAddress g_szTargetIp;
