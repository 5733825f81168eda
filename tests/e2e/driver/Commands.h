#pragma once
#include <string>
#include <vector>

// Runs the command at args[at] with its arguments; returns the index of the
// next command. Throws DriverError when the command fails.
size_t RunCommand(const std::vector<std::string>& args, size_t at);
