#pragma once
// The pieces of one SSH connection, each released in reverse order on every
// way out: the library's initialisation, the socket, the session.
#include <winsock2.h>

#include <libssh2.h>

class SftpDiagnostics;

// Connects an IPv4 stream socket to `address`:`port` within `timeoutMs`;
// INVALID_SOCKET when that fails.
SOCKET ConnectWithin(unsigned long address, unsigned short port, unsigned timeoutMs);

class SshConnection {
public:
    // The session's diagnostic lines go to `diagnostics`; the
    // keyboard-interactive responder finds it through the session.
    explicit SshConnection(SftpDiagnostics& diagnostics) : m_diagnostics(diagnostics) {}
    ~SshConnection();
    SshConnection(const SshConnection&) = delete;
    SshConnection& operator=(const SshConnection&) = delete;

    // Each returns false when its step fails; the diagnostics are the caller's.
    int InitLibrary();  // libssh2_init's result
    bool Connect(unsigned long address);
    bool CreateSession();
    int Handshake();  // libssh2_session_handshake's result

    LIBSSH2_SESSION* Session() const { return m_session; }
    // After a time-out or a broken socket the session cannot talk any more:
    // closing it then must not wait for the peer again.
    bool Broken() const;
    // The peer has closed the connection (with or without saying so).
    bool Dropped() const;
    // Says goodbye to the peer (unless the session is broken) and releases
    // everything.
    void Close();

private:
    SftpDiagnostics& m_diagnostics;
    bool m_libraryInitialised = false;
    SOCKET m_socket = INVALID_SOCKET;
    LIBSSH2_SESSION* m_session = nullptr;
    bool m_handshaken = false;
};
