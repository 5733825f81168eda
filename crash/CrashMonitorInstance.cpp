// The one crash monitor of a program. Its priority puts it before every static
// object of default priority, the application object included, so a fault in
// any of their constructors is reported too; it is destroyed after them.
#include "CrashReport.h"

CCrashMonitor g_crashMonitor __attribute__((init_priority(101)));
