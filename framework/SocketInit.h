#pragma once
// Starts Windows Sockets for the process; false when they cannot be started.
bool AfxSocketInit();
