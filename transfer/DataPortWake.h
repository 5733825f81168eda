#pragma once
// In active mode the FTP client listens for the server's data connection and
// waits in accept(). Closing the WinINet handles does not end that wait
// everywhere (under Wine the listening socket lives until the call returns),
// so a transfer whose server never connects back is ended by connecting to
// that listening socket once ourselves: accept() returns, the transfer fails
// on the dead connection, and the call comes back.
#include <windows.h>

#include <vector>

struct ListenerAddress {
    DWORD address;  // network byte order
    DWORD port;     // network byte order, in the low 16 bits
    bool operator==(const ListenerAddress& other) const
    {
        return address == other.address && port == other.port;
    }
};

// The IPv4 TCP sockets of this process that are listening now.
std::vector<ListenerAddress> OwnListeners();

// Connects to every listening socket of this process that is not in
// `before`, and closes the connection again.
void WakeListenersOpenedSince(const std::vector<ListenerAddress>& before);
