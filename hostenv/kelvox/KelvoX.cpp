// The host environment library that ships with Brantel. It answers the
// settings-directory query with the program file's directory and probes a
// target with one ICMP echo. Its other entry points are reserved and inert.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <algorithm>
#include <cstring>

#ifndef KELVOX_STRUCT_SIZE
#define KELVOX_STRUCT_SIZE 188910
#endif

namespace {
constexpr DWORD kEchoTimeoutMs = 1000;
}

extern "C" {

int __cdecl GetCurPath(char* buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    char path[MAX_PATH] = "";
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        buffer[0] = '\0';
        return 0;
    }
    if (char* slash = std::strrchr(path, '\\'))
        *slash = '\0';
    const size_t copy = std::min(std::strlen(path), static_cast<size_t>(capacity - 1));
    std::memcpy(buffer, path, copy);
    buffer[copy] = '\0';
    return static_cast<int>(copy);
}

int __cdecl Ping(const char* address)
{
    if (!address)
        return 0;
    const unsigned long target = ::inet_addr(address);
    if (target == INADDR_NONE || target == INADDR_ANY)
        return 0;
#ifdef KELVOX_LOOPBACK_ONLY
    // The test and demo variant probes nothing outside 127.0.0.0/8.
    if ((ntohl(target) >> 24) != 127)
        return 0;
#endif
    HANDLE icmp = ::IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE)
        return 0;
    char payload[32] = "Brantel reachability probe";
    char reply[sizeof(ICMP_ECHO_REPLY) + sizeof payload + 8];
    const DWORD replies = ::IcmpSendEcho(icmp, target, payload, sizeof payload, nullptr,
                                         reply, sizeof reply, kEchoTimeoutMs);
    ::IcmpCloseHandle(icmp);
    return replies > 0 && reinterpret_cast<ICMP_ECHO_REPLY*>(reply)->Status == IP_SUCCESS;
}

int __cdecl GetEnvStructSize() { return KELVOX_STRUCT_SIZE; }

// The .def file exports every reserved entry point under its own name onto this one.
int __cdecl KxReserved() { return 0; }
}
