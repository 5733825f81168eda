#pragma once
// What the SFTP route needs from its caller to know a controller again: where
// the host keys of the controllers met before are kept, a question to the
// engineer when a controller's key has changed, and what the engineer has
// answered during the current command. The console implements it; tests
// use a fake.
#include <map>
#include <string>

// A changed host key, as the engineer is asked about it.
struct HostKeyChange {
    std::string address;             // dotted IPv4 text
    std::string knownFingerprint;    // the key remembered, "SHA256:..."
    std::string offeredFingerprint;  // the key the controller offers now
};

// One answer of the engineer's: whether they trusted the key offered then.
struct HostKeyAnswer {
    bool trusted;
    std::string offeredFingerprint;
};
// The answers of one command, by address: a command asks at most once about
// a controller.
using HostKeyAnswers = std::map<std::string, HostKeyAnswer>;

class HostKeyTrust {
public:
    virtual ~HostKeyTrust() = default;
    // Full path of the known_hosts file (system code page).
    virtual std::string KnownHostsFile() = 0;
    // Asks whether to trust the changed key and go on; true for yes. Called
    // on the route's thread; returns once the engineer has answered.
    virtual bool TrustChangedKey(const HostKeyChange& change) = 0;
    // The answers given so far in the current command; the route reads them
    // and adds the answer to its own question.
    virtual HostKeyAnswers& Answers() = 0;
};
