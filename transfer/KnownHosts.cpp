#include "KnownHosts.h"

#include "HostKeyFingerprint.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace {
constexpr int kSshPort = 22;

// The key types an SSH server can offer; other entries (SSH-1 keys, types
// libssh2 does not know) can never match and are left alone.
bool OfferableType(int type)
{
    switch (type) {
    case LIBSSH2_KNOWNHOST_KEY_SSHRSA:
    case LIBSSH2_KNOWNHOST_KEY_SSHDSS:
    case LIBSSH2_KNOWNHOST_KEY_ECDSA_256:
    case LIBSSH2_KNOWNHOST_KEY_ECDSA_384:
    case LIBSSH2_KNOWNHOST_KEY_ECDSA_521:
    case LIBSSH2_KNOWNHOST_KEY_ED25519:
        return true;
    default:
        return false;
    }
}

int KeyType(const libssh2_knownhost* entry) { return entry->typemask & LIBSSH2_KNOWNHOST_KEY_MASK; }

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}
}  // namespace

int KnownHostKeyType(int hostKeyType)
{
    switch (hostKeyType) {
    case LIBSSH2_HOSTKEY_TYPE_RSA: return LIBSSH2_KNOWNHOST_KEY_SSHRSA;
    case LIBSSH2_HOSTKEY_TYPE_DSS: return LIBSSH2_KNOWNHOST_KEY_SSHDSS;
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_256: return LIBSSH2_KNOWNHOST_KEY_ECDSA_256;
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_384: return LIBSSH2_KNOWNHOST_KEY_ECDSA_384;
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_521: return LIBSSH2_KNOWNHOST_KEY_ECDSA_521;
    case LIBSSH2_HOSTKEY_TYPE_ED25519: return LIBSSH2_KNOWNHOST_KEY_ED25519;
    default: return 0;
    }
}

KnownHosts::KnownHosts(LIBSSH2_SESSION* session, std::string path)
    : m_session(session), m_hosts(::libssh2_knownhost_init(session)), m_path(std::move(path))
{
    if (!m_hosts) {
        m_readWhole = false;
        return;
    }
    const DWORD attributes = ::GetFileAttributesA(m_path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A file that is not there is an empty one; one that cannot even be
        // looked at may hold keys.
        const DWORD error = ::GetLastError();
        m_readWhole = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return;
    }
    // libssh2 stops at the first line it cannot take, keeping the lines
    // before it.
    m_readWhole = !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                  ::libssh2_knownhost_readfile(m_hosts, m_path.c_str(), LIBSSH2_KNOWNHOST_FILE_OPENSSH) >= 0;
}

KnownHosts::~KnownHosts()
{
    if (m_hosts)
        ::libssh2_knownhost_free(m_hosts);
}

bool KnownHosts::BelongsTo(libssh2_knownhost* entry, const std::string& address) const
{
    // libssh2 compares names as OpenSSH writes them (plain, hashed,
    // "[address]:22"), but only for the key type it is given: so ask with
    // the entry's own key and type, and make sure the entry it finds is this
    // one, not another host's entry with the same key.
    const int type = KeyType(entry);
    if (!OfferableType(type))
        return false;
    libssh2_knownhost* found = nullptr;
    return ::libssh2_knownhost_checkp(m_hosts, address.c_str(), kSshPort, entry->key, 0,
                                      LIBSSH2_KNOWNHOST_TYPE_PLAIN | LIBSSH2_KNOWNHOST_KEYENC_BASE64 | type,
                                      &found) == LIBSSH2_KNOWNHOST_CHECK_MATCH &&
           found == entry;
}

std::vector<HostKey> KnownHosts::KeysFor(const std::string& address) const
{
    std::vector<HostKey> keys;
    if (!m_hosts)
        return keys;
    libssh2_knownhost* entry = nullptr;
    while (::libssh2_knownhost_get(m_hosts, &entry, entry) == 0) {
        if (!BelongsTo(entry, address))
            continue;
        HostKey key{KeyType(entry), DecodeBase64(entry->key)};
        const bool seen = std::any_of(keys.begin(), keys.end(), [&](const HostKey& k) { return k.blob == key.blob; });
        if (!key.blob.empty() && !seen)
            keys.push_back(std::move(key));
    }
    return keys;
}

bool KnownHosts::Remember(const std::string& address, const HostKey& key)
{
    if (!m_hosts || !OfferableType(key.type) || key.blob.empty())
        return false;
    // Of two entries with the same name and key, libssh2 finds only the
    // first: look again after every removal.
    for (bool removed = true; removed;) {
        removed = false;
        libssh2_knownhost* entry = nullptr;
        while (::libssh2_knownhost_get(m_hosts, &entry, entry) == 0) {
            if (BelongsTo(entry, address)) {
                ::libssh2_knownhost_del(m_hosts, entry);
                removed = true;
                break;
            }
        }
    }
    // Port 22 is written as OpenSSH writes it: the bare address.
    return ::libssh2_knownhost_addc(m_hosts, address.c_str(), nullptr, key.blob.data(), key.blob.size(), nullptr, 0,
                                    LIBSSH2_KNOWNHOST_TYPE_PLAIN | LIBSSH2_KNOWNHOST_KEYENC_RAW | key.type,
                                    nullptr) == 0;
}

size_t KnownHosts::EntryCount() const
{
    size_t count = 0;
    libssh2_knownhost* entry = nullptr;
    while (m_hosts && ::libssh2_knownhost_get(m_hosts, &entry, entry) == 0)
        ++count;
    return count;
}

bool KnownHosts::Save()
{
    if (!m_hosts || !m_readWhole)
        return false;
    char temporary[MAX_PATH];
    if (!::GetTempFileNameA(FolderOf(m_path).c_str(), "kh", 0, temporary))
        return false;
    // libssh2 does not look at the result of closing the file, where a full
    // disk shows: what it wrote counts only once it reads back whole.
    bool written = ::libssh2_knownhost_writefile(m_hosts, temporary, LIBSSH2_KNOWNHOST_FILE_OPENSSH) == 0;
    if (written) {
        KnownHosts check(m_session, temporary);
        written = check.ReadWhole() && check.EntryCount() == EntryCount();
    }
    if (written && ::MoveFileExA(temporary, m_path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ::DeleteFileA(temporary);
    return false;
}
