// Winsock 2 must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include "DataPortWake.h"

#include <algorithm>

std::vector<ListenerAddress> OwnListeners()
{
    std::vector<ListenerAddress> listeners;
    std::vector<char> buffer(16 * 1024);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD status = ::GetExtendedTcpTable(buffer.data(), &size, FALSE, AF_INET,
                                             TCP_TABLE_OWNER_PID_LISTENER, 0);
        if (status == ERROR_INSUFFICIENT_BUFFER) {
            buffer.resize(size + 1024);
            continue;
        }
        if (status != NO_ERROR)
            return listeners;
        const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(buffer.data());
        DWORD self = ::GetCurrentProcessId();
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            const MIB_TCPROW_OWNER_PID& row = table->table[i];
            if (row.dwOwningPid == self)
                listeners.push_back({row.dwLocalAddr, row.dwLocalPort});
        }
        return listeners;
    }
    return listeners;
}

void WakeListenersOpenedSince(const std::vector<ListenerAddress>& before)
{
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return;
    for (const ListenerAddress& listener : OwnListeners()) {
        if (std::find(before.begin(), before.end(), listener) != before.end())
            continue;
        sockaddr_in target{};
        target.sin_family = AF_INET;
        // A listener on every interface is reached through loopback; any
        // other is one of this machine's own addresses.
        target.sin_addr.s_addr = listener.address ? listener.address : htonl(INADDR_LOOPBACK);
        target.sin_port = static_cast<u_short>(listener.port & 0xFFFF);
        SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET)
            continue;
        ::connect(s, reinterpret_cast<const sockaddr*>(&target), sizeof target);
        ::closesocket(s);
    }
    ::WSACleanup();
}
