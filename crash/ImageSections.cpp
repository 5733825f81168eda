#include "ImageSections.h"

#include <cstddef>
#include <cstring>

namespace {
template <typename T>
T ReadAt(const BYTE* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}
}  // namespace

BOOL FindImageSection(const BYTE* image, uintptr_t relative, DWORD& section, DWORD& offset)
{
    const LONG headerOffset = ReadAt<LONG>(image + offsetof(IMAGE_DOS_HEADER, e_lfanew));
    // The file header follows the 4-byte "PE\0\0" signature; it has the same
    // layout in 32-bit and 64-bit images.
    const BYTE* fileHeader = image + headerOffset + sizeof(DWORD);
    const WORD sectionCount = ReadAt<WORD>(fileHeader + offsetof(IMAGE_FILE_HEADER, NumberOfSections));
    const WORD optionalSize = ReadAt<WORD>(fileHeader + offsetof(IMAGE_FILE_HEADER, SizeOfOptionalHeader));
    const BYTE* table = fileHeader + sizeof(IMAGE_FILE_HEADER) + optionalSize;

    for (WORD i = 0; i < sectionCount; ++i) {
        const BYTE* header = table + i * sizeof(IMAGE_SECTION_HEADER);
        const uintptr_t start = ReadAt<DWORD>(header + offsetof(IMAGE_SECTION_HEADER, VirtualAddress));
        const DWORD rawSize = ReadAt<DWORD>(header + offsetof(IMAGE_SECTION_HEADER, SizeOfRawData));
        const DWORD virtualSize = ReadAt<DWORD>(header + offsetof(IMAGE_SECTION_HEADER, Misc.VirtualSize));
        const uintptr_t length = rawSize > virtualSize ? rawSize : virtualSize;
        if (start <= relative && relative <= start + length) {
            section = i + 1;
            offset = static_cast<DWORD>(relative - start);
            return TRUE;
        }
    }
    return FALSE;
}

const char* PathBaseName(const char* path)
{
    // Module paths are in the ANSI code page, where the second byte of a
    // double-byte character may equal a backslash: step over whole characters.
    const char* base = path;
    for (const char* at = path; *at; ++at) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(*at)) && at[1])
            ++at;
        else if (*at == '\\')
            base = at + 1;
    }
    return base;
}
