#pragma once
// Directories for tests: the test binary's own folder and fresh scratch folders.
#include <string>

std::string TestBinaryDir();
// A new empty folder under the system's temporary folder; removed with the object.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};
