#include "FileSets.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

const char* RemoteRootFor(int model)
{
    if (model == kModelM410)
        return "/mnt/nandflash";
    if (model == kModelM520)
        return "/mnt/mmc";
    return "";
}

const char* const kSystemFiles[kSystemFileCount] = {
    "Telvo", "Korvid", "run.sh", "userinfo.txt", "user.sh", "scan", "test_isa",
};

const char* SystemFileVariant(int systemFileIndex, int model)
{
    static const char* const variants[2][kSystemFileCount] = {
        {"Telvo-M410", "Korvid-M410", "run-M410.sh", "userinfo-M410.txt", "user-M410.sh", "scan-M410",
         "test_isa-M410"},
        {"Telvo-M520", "Korvid-M520", "run-M520.sh", "userinfo-M520.txt", "user-M520.sh", "scan-M520",
         "test_isa-M520"},
    };
    if (model != kModelM410 && model != kModelM520)
        return nullptr;
    if (systemFileIndex < 0 || systemFileIndex >= kSystemFileCount)
        return nullptr;
    return variants[model][systemFileIndex];
}

namespace {

int SystemFileIndex(const char* genericName)
{
    for (int i = 0; i < kSystemFileCount; ++i) {
        if (std::strcmp(kSystemFiles[i], genericName) == 0)
            return i;
    }
    return -1;
}

} // namespace

bool IsSystemFile(const char* genericName) { return SystemFileIndex(genericName) >= 0; }

const char* SystemFileVariantOf(const char* genericName, int model)
{
    const int index = SystemFileIndex(genericName);
    return index >= 0 ? SystemFileVariant(index, model) : nullptr;
}

std::vector<const char*> LocalSystemSet(int model)
{
    if (model != kModelM410 && model != kModelM520)
        return {};
    std::vector<const char*> files;
    for (int i = 0; i < kSystemFileCount; ++i)
        files.push_back(SystemFileVariant(i, model));
    for (const char* config : {"issue", "hostname", model == kModelM410 ? "inetd.conf" : "rc.local"})
        files.push_back(config);
    return files;
}

void PreparedSystemFiles::SetReady(const char* genericName, bool ready)
{
    const int index = SystemFileIndex(genericName);
    if (index >= 0)
        m_ready[index] = ready;
}

bool PreparedSystemFiles::Ready(const char* genericName) const
{
    const int index = SystemFileIndex(genericName);
    return index >= 0 && m_ready[index];
}

PreparedSystemFiles PrepareSystemFiles(int model)
{
    // These four must not survive from an earlier run: if the model's variant
    // is missing, no file is better than the other model's program.
    for (const char* stale : {"Korvid", "run.sh", "scan", "test_isa"})
        ::DeleteFileA(stale);

    PreparedSystemFiles prepared;
    for (int i = 0; i < kSystemFileCount; ++i) {
        const char* variant = SystemFileVariant(i, model);
        prepared.SetReady(kSystemFiles[i], variant && ::CopyFileA(variant, kSystemFiles[i], FALSE));
    }

    // The variants are edited on the PC and may carry CR LF line ends, which
    // the target's shell and its settings reader do not accept: a text file
    // that could not be converted is not ready to be sent.
    for (const char* text : {"run.sh", "user.sh", "userinfo.txt"}) {
        if (ConvertCrToLf(text) != 1)
            prepared.SetReady(text, false);
    }
    return prepared;
}

int ConvertCrToLf(const char* path)
{
    FILE* source = std::fopen(path, "rb");
    if (!source)
        return 0;
    FILE* temp = std::fopen(kTempFile, "wb+");
    if (!temp) {
        std::fclose(source);
        return 0;
    }

    char buffer[1024];
    bool written = false;
    bool complete = true;
    size_t got;
    while ((got = std::fread(buffer, 1, 1000, source)) > 0) {
        for (size_t i = 0; i < got; ++i) {
            if (buffer[i] == '\r')
                buffer[i] = '\n';
        }
        if (std::fwrite(buffer, 1, got, temp) != got)
            complete = false;
        written = true;
    }
    if (std::ferror(source))
        complete = false;
    std::fclose(source);
    if (std::fclose(temp) != 0)
        complete = false;

    // A short read or write would leave a truncated copy: never let it
    // replace the file. An empty file needs no copy.
    bool converted = complete;
    if (written && complete)
        converted = ::CopyFileA(kTempFile, path, FALSE) != 0;
    ::DeleteFileA(kTempFile);
    return converted ? 1 : 0;
}

namespace {

bool WriteHandshake(const char* name, const char* bytes)
{
    FILE* file = std::fopen(name, "wb");
    if (!file)
        return false;
    const bool wrote = std::fwrite(bytes, 1, 3, file) == 3;
    return std::fclose(file) == 0 && wrote;
}

} // namespace

// Three bytes each, no terminator and no line end: the first three letters of
// the marker word "Veltrin", and "123".
bool WriteShutdownFile() { return WriteHandshake(kShutdownFile, "Vel"); }

bool WriteRebootFile() { return WriteHandshake(kRebootFile, "123"); }
