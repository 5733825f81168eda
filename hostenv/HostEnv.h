#pragma once
// Binding of the host environment library "KelvoX.dll": the settings
// directory query and the network probe that the console calls.
#include <string>

// Loader results.
enum HostEnvResult {
    kHostEnvLoaded = 1,
    kHostEnvLoadFailed = -1,       // the library file cannot be loaded
    kHostEnvWrongSize = -9999,     // the structure-size query gave another answer
    kHostEnvUnavailable = -1000,   // no system directory; also: entry point not bound
};
// A missing entry point ends the load with its own code: -2 for the first
// name, counting down, with -117 left out (-232 for the last).
int MissingEntryPointCode(int index);

// Binds the library. `variant` picks the file name in the system directory:
// 2, 4, 8 and 16 give "Kelvo<n>bX.dll", anything else "KelvoX.dll".
int LoadHostEnv(int variant);
// The same with the two directories given; LoadHostEnv passes the system
// directory and the program file's directory.
int LoadHostEnvFrom(int variant, const std::string& systemDir, const std::string& programDir);
void FreeHostEnv();
// The file the bound library was loaded from; empty while none is bound.
std::wstring HostEnvLibraryPath();

// The entry points. Each returns -1000 while the library is not bound.
// Writes the settings directory, NUL-terminated, without a trailing separator.
int GetCurPath(char* buffer, int capacity);
// Non-zero when `address` answered the probe.
int Ping(const char* address);
int GetEnvStructSize();
