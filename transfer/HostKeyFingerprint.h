#pragma once
// The host key's SHA-256 fingerprint in the form OpenSSH shows it
// ("SHA256:" and the digest in base64 without padding), the form an
// engineer can compare with "ssh-keygen -l" on the controller.
#include <libssh2.h>

#include <string>

// Empty when the session has no host key hash to give.
std::string OpenSshSha256Fingerprint(LIBSSH2_SESSION* session);
// The same for a digest of 32 bytes.
std::string OpenSshSha256Fingerprint(const unsigned char* digest);
// The same for a key blob (the key in SSH's wire form, as a known_hosts
// line holds it in base64).
std::string OpenSshSha256FingerprintOfKey(const std::string& blob);

// Base64 text (as known_hosts keeps a key) decoded; empty when it is not
// base64.
std::string DecodeBase64(const std::string& text);
