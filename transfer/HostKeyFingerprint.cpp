#include "HostKeyFingerprint.h"

#include <openssl/evp.h>

std::string OpenSshSha256Fingerprint(const unsigned char* digest)
{
    // Base64 of 32 bytes is 44 characters, the last of them padding.
    unsigned char text[45];
    const int length = ::EVP_EncodeBlock(text, digest, 32);
    std::string encoded(reinterpret_cast<const char*>(text), length > 0 ? static_cast<size_t>(length) : 0);
    while (!encoded.empty() && encoded.back() == '=')
        encoded.pop_back();
    return "SHA256:" + encoded;
}

std::string OpenSshSha256Fingerprint(LIBSSH2_SESSION* session)
{
    const char* digest = ::libssh2_hostkey_hash(session, LIBSSH2_HOSTKEY_HASH_SHA256);
    return digest ? OpenSshSha256Fingerprint(reinterpret_cast<const unsigned char*>(digest)) : std::string();
}
