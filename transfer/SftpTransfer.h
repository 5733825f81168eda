#pragma once
// The SFTP route: one remote operation on an M520 target, over an SSH
// connection of its own that is closed again before the call returns.
#include "EventLog.h"
#include "HostKeyTrust.h"
#include "ProgressSink.h"
#include "RemoteRequest.h"

// Runs `request` (its route field is not looked at). Returns 1 when the
// operation was carried out, 0 when it failed at either end, -1 when no SSH
// session could be set up (TCP connection, session, handshake, a changed
// host key not trusted). The controller's host key is checked against the
// keys `hostKeys` keeps, and the engineer asked through it when the key has
// changed. Diagnostic lines go to the standard output and error streams and
// into `record`, which also gets one line of what the operation did.
int SftpTransfer(const RemoteRequest& request, ProgressSink& progress, EventLog& record, HostKeyTrust& hostKeys);

// Limits that keep a target that stops answering from holding the console:
// the TCP connection, and every blocking step of the SSH session.
constexpr unsigned kSshConnectTimeoutMs = 10000;
constexpr long kSshSessionTimeoutMs = 15000;
