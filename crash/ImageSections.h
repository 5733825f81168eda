#pragma once
// Where an address lies inside a loaded PE image: which section, how far in.
// Works on the image as the loader mapped it, so it needs nothing but memory.
#include <windows.h>

#include <cstdint>

// Finds the section of the mapped image at `image` that holds the address
// `relative` bytes past the image base. Sections are tried in table order and
// the first match wins; a section spans VirtualAddress up to and including
// VirtualAddress + the larger of its raw and virtual sizes. On a match sets
// `section` (1-based) and `offset` and returns TRUE; otherwise leaves both
// untouched and returns FALSE.
BOOL FindImageSection(const BYTE* image, uintptr_t relative, DWORD& section, DWORD& offset);

// The text after the last backslash of `path`; the whole path when it has none.
const char* PathBaseName(const char* path);
