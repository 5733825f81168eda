#pragma once
// Local paths, as the commands and the routes name them: bare names are
// relative to the working folder.
#include <string>

// `path` made absolute against the working directory; `path` itself when
// that cannot be done.
std::string FullPath(const std::string& path);
