#include "HostKeyFingerprint.h"

#include <openssl/evp.h>

#include <vector>

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

std::string OpenSshSha256FingerprintOfKey(const std::string& blob)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!::EVP_Digest(blob.data(), blob.size(), digest, &length, ::EVP_sha256(), nullptr) || length != 32)
        return std::string();
    return OpenSshSha256Fingerprint(digest);
}

std::string DecodeBase64(const std::string& text)
{
    // The streaming decoder, unlike EVP_DecodeBlock, leaves out the bytes
    // that padding stands for.
    EVP_ENCODE_CTX* context = ::EVP_ENCODE_CTX_new();
    if (!context)
        return std::string();
    std::vector<unsigned char> decoded(text.size() / 4 * 3 + 3);
    int length = 0, last = 0;
    ::EVP_DecodeInit(context);
    const bool ok =
        ::EVP_DecodeUpdate(context, decoded.data(), &length, reinterpret_cast<const unsigned char*>(text.data()),
                           static_cast<int>(text.size())) >= 0 &&
        ::EVP_DecodeFinal(context, decoded.data() + length, &last) == 1;
    ::EVP_ENCODE_CTX_free(context);
    return ok ? std::string(reinterpret_cast<const char*>(decoded.data()), static_cast<size_t>(length + last))
              : std::string();
}
