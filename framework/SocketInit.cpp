#include "SocketInit.h"

#include <winsock2.h>

bool AfxSocketInit()
{
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}
