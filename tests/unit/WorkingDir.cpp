#include "WorkingDir.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

void InScratchWorkingDir::SetUp()
{
    char previous[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    m_previous = previous;
    ASSERT_TRUE(::SetCurrentDirectoryA(scratch.path().c_str()));
}

// Leave the folder before ScratchDir removes it.
void InScratchWorkingDir::TearDown() { ::SetCurrentDirectoryA(m_previous.c_str()); }

void InScratchWorkingDir::Write(const std::string& name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string InScratchWorkingDir::Read(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool InScratchWorkingDir::Exists(const std::string& name) { return std::filesystem::exists(name); }
