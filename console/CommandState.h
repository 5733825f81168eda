#pragma once
// Console state that the commands read and write; the dialog owns one.
#include <windows.h>

struct CommandState {
    // The update file chosen by Browse: bare name and folder. Both empty
    // until the first Browse.
    char m_szUpdateFile[MAX_PATH] = "";
    char m_szUpdateDir[MAX_PATH] = "";
    // Target address taken from control 1004 when a command starts. Each
    // command works on its own copy: a command started inside it must not
    // change where it sends.
    char m_szHostIp[100] = "";
    // Set while Create system or Set new IP address prepares and sends the
    // system file set in the working directory; neither may run inside the
    // other.
    bool m_systemFileSetInUse = false;
};
