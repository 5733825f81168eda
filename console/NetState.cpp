#include "NetState.h"

#include <cstring>

std::atomic<int> g_bNetOk{0};
std::atomic<int> g_bStopNetCheck{0};
HANDLE g_hNetCheckDone = nullptr;
CTargetAddress g_szTargetIp;

void CTargetAddress::Set(const char* text)
{
    std::lock_guard<std::mutex> guard(m_lock);
    const size_t length = text ? strnlen(text, kCapacity - 1) : 0;
    std::memcpy(m_text, text ? text : "", length);
    m_text[length] = '\0';
}

void CTargetAddress::CopyTo(char (&out)[kCapacity]) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::memcpy(out, m_text, kCapacity);
}
