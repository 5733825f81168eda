#pragma once
// SHA-256 of the bytes a route sends, for the session record: with it a
// service report can show that the file on the controller is the one meant.
#include <cstddef>
#include <string>

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Add(const void* data, size_t size);
    // The digest of everything added, as 64 lower-case hex digits. Ends the
    // hash: nothing more may be added.
    std::string Hex();

private:
    struct evp_md_ctx_st* m_context;
};

// The digest of the whole file `path` (system code page), read once; empty
// when it cannot be read.
std::string Sha256OfFile(const char* path);
