#pragma once
// In active mode the FTP client listens for the server's data connection and
// waits in accept(). Closing the WinINet handles does not end that wait
// everywhere (under Wine the listening socket lives until the call returns),
// so a transfer whose server never connects back is ended by connecting to
// that listening socket once ourselves: accept() returns, the transfer fails
// on the dead connection, and the call comes back.
#include <windows.h>

#include <string>
#include <vector>

struct ListenerAddress {
    DWORD address;  // network byte order
    DWORD port;     // network byte order, in the low 16 bits
    bool operator==(const ListenerAddress& other) const
    {
        return address == other.address && port == other.port;
    }
};

// The IPv4 TCP sockets listening now that may be this process's. Where the
// system does not say which process owns a socket (Wine), all are listed.
std::vector<ListenerAddress> OwnListeners();

// Connects once to every listening socket that is not in `before`, lies on
// the local address of this process's control connection to `server` port
// `port`, and so can only be that connection's data listener.
void WakeDataListeners(const std::vector<ListenerAddress>& before, const std::string& server, unsigned short port);
