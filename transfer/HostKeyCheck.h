#pragma once
// Knowing a controller again by its host key. A controller met for the first
// time is remembered and trusted, as is one whose key is the one remembered.
// A changed key is trusted only when the engineer says so, and asked about
// at most once per command: the answer given before stands for the rest of
// the command. What cannot be remembered (a known_hosts file that could not
// be read whole, a settings folder that cannot be written) is said in a
// diagnostic line, and the check goes on with what is known.
#include "HostKeyTrust.h"
#include "KnownHosts.h"

#include <libssh2.h>

#include <string>

class SftpDiagnostics;

enum class HostKeyVerdict {
    Trusted,                // first contact, or the key remembered
    TrustedAfterQuestion,   // changed, and the engineer has just trusted it
    Refused,                // changed, and not trusted
};

// The decision for the key `offered` by `address`, against `known`; a key to
// remember is written to its file.
HostKeyVerdict DecideHostKey(const std::string& address, const HostKey& offered, KnownHosts& known,
                             HostKeyTrust& trust, SftpDiagnostics& diagnostics);

// The key the session's server has offered in its handshake.
HostKey OfferedHostKey(LIBSSH2_SESSION* session);

// Before the handshake: asks for the types of the keys remembered for the
// controller first, so that a server with several host keys shows the one
// it is known by. The other types follow, so that a server that no longer
// has that type is still reached, and found changed.
void PreferKnownKeyTypes(LIBSSH2_SESSION* session, const KnownHosts& known, const std::string& address);
