#include "SshConnection.h"

#include "SftpDiagnostics.h"
#include "SftpTransfer.h"

SOCKET ConnectWithin(unsigned long address, unsigned short port, unsigned timeoutMs)
{
    SOCKET sock = ::socket(AF_INET, SOCK_STREAM, 0);
    if (sock == INVALID_SOCKET)
        return INVALID_SOCKET;
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_port = ::htons(port);
    sin.sin_addr.s_addr = address;
    // A blocking connect to a silent address waits for the system's own
    // time-out, far longer than an engineer waits: connect without blocking
    // and give up after `timeoutMs`.
    u_long nonBlocking = 1;
    ::ioctlsocket(sock, FIONBIO, &nonBlocking);
    bool connected = ::connect(sock, reinterpret_cast<sockaddr*>(&sin), sizeof sin) == 0;
    if (!connected && ::WSAGetLastError() == WSAEWOULDBLOCK) {
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(sock, &writable);
        FD_SET(sock, &failed);
        timeval wait{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
        if (::select(0, nullptr, &writable, &failed, &wait) == 1 && FD_ISSET(sock, &writable)) {
            int error = 0;
            int length = sizeof error;
            ::getsockopt(sock, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
            connected = error == 0;
        }
    }
    u_long blocking = 0;
    ::ioctlsocket(sock, FIONBIO, &blocking);
    if (!connected) {
        ::closesocket(sock);
        return INVALID_SOCKET;
    }
    return sock;
}

SshConnection::~SshConnection() { Close(); }

int SshConnection::InitLibrary()
{
    const int rc = ::libssh2_init(0);
    m_libraryInitialised = rc == 0;
    return rc;
}

bool SshConnection::Connect(unsigned long address)
{
    m_socket = ConnectWithin(address, 22, kSshConnectTimeoutMs);
    return m_socket != INVALID_SOCKET;
}

bool SshConnection::CreateSession()
{
    m_session = ::libssh2_session_init_ex(nullptr, nullptr, nullptr, &m_diagnostics);
    if (!m_session)
        return false;
    ::libssh2_session_set_blocking(m_session, 1);
    // Set before the handshake, so that the handshake is bounded too.
    ::libssh2_session_set_timeout(m_session, kSshSessionTimeoutMs);
    return true;
}

int SshConnection::Handshake()
{
    const int rc = ::libssh2_session_handshake(m_session, m_socket);
    m_handshaken = rc == 0;
    return rc;
}

bool SshConnection::Broken() const
{
    return Dropped() || (m_session && ::libssh2_session_last_errno(m_session) == LIBSSH2_ERROR_TIMEOUT);
}

bool SshConnection::Dropped() const
{
    if (!m_session)
        return false;
    const int error = ::libssh2_session_last_errno(m_session);
    return error == LIBSSH2_ERROR_SOCKET_SEND || error == LIBSSH2_ERROR_SOCKET_RECV ||
           error == LIBSSH2_ERROR_SOCKET_DISCONNECT;
}

void SshConnection::Close()
{
    if (m_session) {
        if (m_handshaken && !Broken()) {
            ::libssh2_session_disconnect_ex(m_session, SSH_DISCONNECT_BY_APPLICATION,
                                            "Normal Shutdown, Thank you for playing", "");
        } else if (m_socket != INVALID_SOCKET) {
            // Nothing more can be said to this peer: close the socket first,
            // so that freeing the session does not wait on it.
            ::closesocket(m_socket);
            m_socket = INVALID_SOCKET;
        }
        ::libssh2_session_free(m_session);
        m_session = nullptr;
    }
    if (m_socket != INVALID_SOCKET) {
        ::closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
    if (m_libraryInitialised) {
        if (m_handshaken)
            m_diagnostics.Error("all done\n");
        ::libssh2_exit();
        m_libraryInitialised = false;
    }
    m_handshaken = false;
}
