#pragma once
// The gate every remote operation passes: refused while the target is not
// known to answer, otherwise carried out by the route of the CPU model.
#include "RemoteRequest.h"

class RemoteRoutes {
public:
    virtual ~RemoteRoutes() = default;
    virtual int Ftp(const RemoteRequest& request) = 0;
    virtual int Sftp(const RemoteRequest& request) = 0;
    // True once the console is closing: from then on no operation starts,
    // nothing is shown and no queued message is taken.
    virtual bool Closing() const { return false; }
};

// Runs the route of `request` and returns its result; -1 (after the message
// "网络似乎不通!") while the reachable flag is not 1; 0 for a route that is
// neither FTP nor SFTP, and 0 without trying anything once the console is
// closing. After every operation it lets exactly one queued window message
// through, so the console stays partly responsive during a long command.
RemoteOutcome DispatchRemoteOperation(const RemoteRequest& request, RemoteRoutes& routes);
