// Drives the running console the way a user would, from a second process in
// the same Wine prefix: finds its windows, clicks buttons by id, reads and sets
// control texts, reads and dismisses message boxes.
//
//   driver <command> [args] [<command> [args] ...]
//
// Commands run in order; the first that fails ends the run with exit code 1.
// Texts are printed as UTF-8, one line per command that reads something.
#include "Windows.h"
#include "Commands.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    // Lines end in a bare line feed, as the shell that reads them expects.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(ToUtf8(argv[i]));
    try {
        size_t next = 0;
        while (next < args.size())
            next = RunCommand(args, next);
    } catch (const DriverError& error) {
        std::fprintf(stderr, "driver: %s\n", error.what());
        return 1;
    }
    return 0;
}
