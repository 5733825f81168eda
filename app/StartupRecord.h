#pragma once
// What the session record says about the program and the PC it runs on, so
// that a record read later tells which build ran where.
#include "EventLog.h"

// The program's version and build, Windows' version, the system code page,
// the screen's DPI and the working folder.
void RecordProgramStart(EventLog& record);
// The settings folder that the host library reports and the library file
// that was loaded.
void RecordHostEnvironment(EventLog& record);
