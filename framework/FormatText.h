#pragma once
// printf-style formatting into a string as long as the text needs.
#include <cstdarg>
#include <string>

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatTextV(const char* format, va_list arguments);
