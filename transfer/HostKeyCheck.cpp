#include "HostKeyCheck.h"

#include "HostKeyFingerprint.h"
#include "SftpDiagnostics.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace {
// The host-key algorithms that show a key of that known-host type. An RSA
// key serves all three RSA signature algorithms.
const char* MethodsFor(int knownHostType)
{
    switch (knownHostType) {
    case LIBSSH2_KNOWNHOST_KEY_SSHRSA: return "rsa-sha2-512,rsa-sha2-256,ssh-rsa";
    case LIBSSH2_KNOWNHOST_KEY_SSHDSS: return "ssh-dss";
    case LIBSSH2_KNOWNHOST_KEY_ECDSA_256: return "ecdsa-sha2-nistp256";
    case LIBSSH2_KNOWNHOST_KEY_ECDSA_384: return "ecdsa-sha2-nistp384";
    case LIBSSH2_KNOWNHOST_KEY_ECDSA_521: return "ecdsa-sha2-nistp521";
    case LIBSSH2_KNOWNHOST_KEY_ED25519: return "ssh-ed25519";
    default: return "";
    }
}

void Append(std::vector<std::string>& methods, const std::string& list)
{
    std::istringstream names(list);
    std::string name;
    while (std::getline(names, name, ','))
        if (!name.empty() && std::find(methods.begin(), methods.end(), name) == methods.end())
            methods.push_back(name);
}

void Remember(const std::string& address, const HostKey& key, KnownHosts& known, SftpDiagnostics& diagnostics)
{
    if (!known.ReadWhole()) {
        diagnostics.Error("Host key of %s not remembered: %s is left as it is, it could not be read whole\n",
                          address.c_str(), known.Path().c_str());
        return;
    }
    if (known.Remember(address, key) && known.Save())
        diagnostics.Note("Host key of " + address + " remembered: " + OpenSshSha256FingerprintOfKey(key.blob));
    else
        diagnostics.Error("Host key of %s not remembered: %s cannot be written\n", address.c_str(),
                          known.Path().c_str());
}
}  // namespace

HostKeyVerdict DecideHostKey(const std::string& address, const HostKey& offered, KnownHosts& known,
                             HostKeyTrust& trust, SftpDiagnostics& diagnostics)
{
    const std::vector<HostKey> keys = known.KeysFor(address);
    if (std::any_of(keys.begin(), keys.end(), [&](const HostKey& k) { return k.blob == offered.blob; })) {
        diagnostics.Note("Host key of " + address + " is the one remembered");
        return HostKeyVerdict::Trusted;
    }
    if (keys.empty()) {
        Remember(address, offered, known, diagnostics);
        return HostKeyVerdict::Trusted;
    }

    // Changed. The key shown as the one known is the remembered key of the
    // offered type, if there is one.
    const auto sameType =
        std::find_if(keys.begin(), keys.end(), [&](const HostKey& k) { return k.type == offered.type; });
    const HostKey& shown = sameType != keys.end() ? *sameType : keys[0];
    const HostKeyChange change{address, OpenSshSha256FingerprintOfKey(shown.blob),
                               OpenSshSha256FingerprintOfKey(offered.blob)};
    diagnostics.Error("Host key of %s differs from the one remembered: known %s, offered %s\n", address.c_str(),
                      change.knownFingerprint.c_str(), change.offeredFingerprint.c_str());
    HostKeyAnswers& answers = trust.Answers();
    const auto answered = answers.find(address);
    if (answered != answers.end()) {
        // A key other than the one trusted a moment ago is not asked about
        // again within the command: it is not trusted.
        const bool trusted =
            answered->second.trusted && answered->second.offeredFingerprint == change.offeredFingerprint;
        diagnostics.Note(std::string("Asked before during this command: ") + (trusted ? "trusted" : "not trusted"));
        return trusted ? HostKeyVerdict::Trusted : HostKeyVerdict::Refused;
    }
    const bool trusted = trust.TrustChangedKey(change);
    answers[address] = HostKeyAnswer{trusted, change.offeredFingerprint};
    if (!trusted)
        return HostKeyVerdict::Refused;
    Remember(address, offered, known, diagnostics);
    return HostKeyVerdict::TrustedAfterQuestion;
}

HostKey OfferedHostKey(LIBSSH2_SESSION* session)
{
    size_t length = 0;
    int type = LIBSSH2_HOSTKEY_TYPE_UNKNOWN;
    const char* blob = ::libssh2_session_hostkey(session, &length, &type);
    HostKey key;
    if (blob) {
        key.type = KnownHostKeyType(type);
        key.blob.assign(blob, length);
    }
    return key;
}

void PreferKnownKeyTypes(LIBSSH2_SESSION* session, const KnownHosts& known, const std::string& address)
{
    const std::vector<HostKey> keys = known.KeysFor(address);
    if (keys.empty())
        return;
    std::vector<std::string> methods;
    for (const HostKey& key : keys)
        Append(methods, MethodsFor(key.type));
    const char** supported = nullptr;
    const int count = ::libssh2_session_supported_algs(session, LIBSSH2_METHOD_HOSTKEY, &supported);
    for (int i = 0; i < count; ++i)
        Append(methods, supported[i]);
    if (count > 0)
        ::libssh2_free(session, supported);
    std::string list;
    for (const std::string& method : methods)
        list += (list.empty() ? "" : ",") + method;
    ::libssh2_session_method_pref(session, LIBSSH2_METHOD_HOSTKEY, list.c_str());
}
