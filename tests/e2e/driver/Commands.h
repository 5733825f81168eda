#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

using Args = std::vector<std::string>;

struct Command {
    size_t argumentCount;
    std::function<void(const Args&)> run;
};

// Prints one line of output.
void Print(const std::string& line);

// Commands that watch the console while it is busy (BusyCommands.cpp).
const std::map<std::string, Command>& BusyCommands();

// Runs the command at args[at] with its arguments; returns the index of the
// next command. Throws DriverError when the command fails.
size_t RunCommand(const std::vector<std::string>& args, size_t at);
