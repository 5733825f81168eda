// Winsock 2 must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include "DataPortWake.h"

#include <algorithm>

namespace {
// Rows of one of the system's TCP tables that belong to this process, or
// whose owner the system does not know (it reports 0 then).
template <typename Row, typename Table>
std::vector<Row> OwnRows(TCP_TABLE_CLASS tableClass)
{
    std::vector<Row> rows;
    std::vector<char> buffer(16 * 1024);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD status = ::GetExtendedTcpTable(buffer.data(), &size, FALSE, AF_INET, tableClass, 0);
        if (status == ERROR_INSUFFICIENT_BUFFER) {
            buffer.resize(size + 1024);
            continue;
        }
        if (status != NO_ERROR)
            break;
        const auto* table = reinterpret_cast<const Table*>(buffer.data());
        DWORD self = ::GetCurrentProcessId();
        for (DWORD i = 0; i < table->dwNumEntries; ++i)
            if (table->table[i].dwOwningPid == self || table->table[i].dwOwningPid == 0)
                rows.push_back(table->table[i]);
        break;
    }
    return rows;
}
}  // namespace

std::vector<ListenerAddress> OwnListeners()
{
    std::vector<ListenerAddress> listeners;
    for (const auto& row : OwnRows<MIB_TCPROW_OWNER_PID, MIB_TCPTABLE_OWNER_PID>(TCP_TABLE_OWNER_PID_LISTENER))
        listeners.push_back({row.dwLocalAddr, row.dwLocalPort});
    return listeners;
}

void WakeDataListeners(const std::vector<ListenerAddress>& before, const std::string& server, unsigned short port)
{
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return;
    std::vector<DWORD> controlAddresses;
    DWORD serverAddress = ::inet_addr(server.c_str());
    for (const auto& row : OwnRows<MIB_TCPROW_OWNER_PID, MIB_TCPTABLE_OWNER_PID>(TCP_TABLE_OWNER_PID_CONNECTIONS))
        if (row.dwRemoteAddr == serverAddress && (row.dwRemotePort & 0xFFFF) == htons(port))
            controlAddresses.push_back(row.dwLocalAddr);

    for (const ListenerAddress& listener : OwnListeners()) {
        if (std::find(before.begin(), before.end(), listener) != before.end() ||
            std::find(controlAddresses.begin(), controlAddresses.end(), listener.address) == controlAddresses.end())
            continue;
        sockaddr_in target{};
        target.sin_family = AF_INET;
        target.sin_addr.s_addr = listener.address;
        target.sin_port = static_cast<u_short>(listener.port & 0xFFFF);
        SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET)
            continue;
        // Reset rather than close politely, so the transfer's first send fails.
        linger reset{1, 0};
        ::setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof reset);
        ::connect(s, reinterpret_cast<const sockaddr*>(&target), sizeof target);
        ::closesocket(s);
    }
    ::WSACleanup();
}
