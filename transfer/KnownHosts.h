#pragma once
// The known_hosts file, in OpenSSH's format, read and written through
// libssh2's known-host functions. A controller is known by its address on
// port 22; OpenSSH's own entries for it (hashed names, "[address]:22",
// several keys of different types) are recognised too.
#include <libssh2.h>

#include <string>
#include <vector>

// A host key in SSH's wire form, with its known-host type
// (LIBSSH2_KNOWNHOST_KEY_*).
struct HostKey {
    int type = 0;
    std::string blob;
};

class KnownHosts {
public:
    // Reads `path` (system code page); the collection belongs to `session`
    // and must go before it.
    KnownHosts(LIBSSH2_SESSION* session, std::string path);
    ~KnownHosts();
    KnownHosts(const KnownHosts&) = delete;
    KnownHosts& operator=(const KnownHosts&) = delete;

    // False when the file exists but could not be read to its end: it is
    // then checked as far as it was read, and never written.
    bool ReadWhole() const { return m_readWhole; }
    const std::string& Path() const { return m_path; }

    // The keys remembered for `address`, in the file's order, each once.
    std::vector<HostKey> KeysFor(const std::string& address) const;
    // Makes `key` the one key remembered for `address`, in memory.
    bool Remember(const std::string& address, const HostKey& key);
    // Writes the collection to the file: into a new file beside it, which is
    // read back and then takes the old one's place, so that a failure on the
    // way leaves the old file whole. False when that cannot be done, and
    // always when the file was not read whole.
    bool Save();

private:
    // True when `entry` is one of the entries of `address`.
    bool BelongsTo(libssh2_knownhost* entry, const std::string& address) const;
    size_t EntryCount() const;

    LIBSSH2_SESSION* m_session;
    LIBSSH2_KNOWNHOSTS* m_hosts;
    std::string m_path;
    bool m_readWhole = true;
};

// The known-host type of a key that libssh2_session_hostkey reports as
// `hostKeyType` (LIBSSH2_HOSTKEY_TYPE_*); 0 for a type it does not know.
int KnownHostKeyType(int hostKeyType);
