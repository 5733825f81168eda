#pragma once
// The gate every remote operation passes: refused while the target is not
// known to answer, otherwise carried out by the route of the CPU model.
#include "RemoteRequest.h"

class RemoteRoutes {
public:
    virtual ~RemoteRoutes() = default;
    virtual int Ftp(const RemoteRequest& request) = 0;
    virtual int Sftp(const RemoteRequest& request) = 0;
};

// Returns the route's result; -1 (after the message "网络似乎不通!") while
// the reachable flag is not 1; 0 for a route that is neither FTP nor SFTP.
// After every operation it lets exactly one queued window message through,
// so the console stays partly responsive during a long command.
int DispatchRemoteOperation(const RemoteRequest& request, RemoteRoutes& routes);
