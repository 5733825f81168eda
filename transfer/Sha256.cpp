#include "Sha256.h"

#include "LocalFile.h"

#include <openssl/evp.h>

Sha256::Sha256() : m_context(::EVP_MD_CTX_new())
{
    if (m_context && !::EVP_DigestInit_ex(m_context, ::EVP_sha256(), nullptr)) {
        ::EVP_MD_CTX_free(m_context);
        m_context = nullptr;
    }
}

Sha256::~Sha256() { ::EVP_MD_CTX_free(m_context); }

void Sha256::Add(const void* data, size_t size)
{
    if (m_context)
        ::EVP_DigestUpdate(m_context, data, size);
}

std::string Sha256::Hex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!m_context || !::EVP_DigestFinal_ex(m_context, digest, &length))
        return std::string();
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 0xF];
    }
    return hex;
}

std::string Sha256OfFile(const char* path)
{
    LocalFile file;
    if (!file.OpenForReading(path))
        return std::string();
    Sha256 hash;
    char buffer[64 * 1024];
    long read;
    while ((read = file.Read(buffer, sizeof buffer)) > 0)
        hash.Add(buffer, static_cast<size_t>(read));
    return read == 0 ? hash.Hex() : std::string();
}
