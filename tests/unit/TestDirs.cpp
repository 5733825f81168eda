#include "TestDirs.h"

#include <windows.h>

#include <atomic>
#include <filesystem>

std::string TestBinaryDir()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\'));
}

ScratchDir::ScratchDir()
{
    static std::atomic<int> counter{0};
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    m_path = std::string(temp) + "brantel-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
             std::to_string(counter++);
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}
