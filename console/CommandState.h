#pragma once
// Console state that the commands read and write; the dialog owns one.
#include <windows.h>

struct CommandState {
    // The update file chosen by Browse: bare name and folder. Both empty
    // until the first Browse.
    char m_szUpdateFile[MAX_PATH] = "";
    char m_szUpdateDir[MAX_PATH] = "";
    // Target address taken from control 1004 when a command starts.
    char m_szHostIp[100] = "";
};
