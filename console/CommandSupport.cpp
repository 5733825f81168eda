#include "CommandSupport.h"

#include "FileSets.h"
#include "TextCodePages.h"

#include <cstdio>
#include <iterator>

RemoteRequest UploadRequest(int model, const char* address, const char* remoteDir, const char* fileName,
                            const char* localDir)
{
    return RemoteRequest{model, address, "root", "", remoteDir, fileName, localDir, kAuthPublicKey,
                         kOperationUpload};
}

RemoteRequest EnsureDirectoryRequest(int model, const char* address, const char* remoteDir)
{
    return RemoteRequest{model, address, "root", "", remoteDir, "", "", kAuthPublicKey,
                         kOperationEnsureDirectory};
}

void RecordCommand(CommandHost& host, const char* name, int model, const std::string& address,
                   const std::string& chosenFile)
{
    const char* modelName = model == kModelM410 ? "CPU-M410" : model == kModelM520 ? "CPU-M520" : "none";
    std::string line = std::string("command ") + name + ": target " + Utf8FromSystemText(address) + ", model " +
                       modelName;
    if (!chosenFile.empty())
        line += ", file " + Utf8FromSystemText(FullPath(chosenFile));
    host.Record().Write(line);
}

std::string TakeTargetAddress(CommandHost& host, CommandState& state)
{
    const std::string text = host.TargetAddressText();
    std::snprintf(state.m_szHostIp, sizeof state.m_szHostIp, "%s", text.c_str());
    return state.m_szHostIp;
}

SystemFileSetClaim::SystemFileSetClaim(CommandState& state) : m_state(state), m_held(!state.m_systemFileSetInUse)
{
    if (m_held)
        m_state.m_systemFileSetInUse = true;
}

SystemFileSetClaim::~SystemFileSetClaim()
{
    if (m_held)
        m_state.m_systemFileSetInUse = false;
}

std::string ChosenFilePath(const CommandState& state)
{
    return std::string(state.m_szUpdateDir) + "\\" + state.m_szUpdateFile;
}

bool LocalFileExists(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool LocalFileReadable(const std::string& path)
{
    if (!LocalFileExists(path))
        return false;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

namespace {

// Windows names ignore letter case; compare as UTF-16 so that the trail bytes
// of double-byte characters are never case-folded as if they were letters.
bool SameName(const std::string& a, const std::string& b)
{
    wchar_t wideA[MAX_PATH * 2], wideB[MAX_PATH * 2];
    const int lengthA = ::MultiByteToWideChar(CP_ACP, 0, a.c_str(), -1, wideA, MAX_PATH * 2);
    const int lengthB = ::MultiByteToWideChar(CP_ACP, 0, b.c_str(), -1, wideB, MAX_PATH * 2);
    if (lengthA == 0 || lengthB == 0)
        return a == b;
    return ::CompareStringOrdinal(wideA, -1, wideB, -1, TRUE) == CSTR_EQUAL;
}

bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info)
{
    HANDLE file = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = ::GetFileInformationByHandle(file, &info) != 0;
    ::CloseHandle(file);
    return ok;
}

} // namespace

bool SameLocalFile(const std::string& a, const std::string& b)
{
    if (SameName(FullPath(a), FullPath(b)))
        return true;
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return FileIdentity(a, first) && FileIdentity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

bool RefuseIfChosenFileIsAmong(CommandHost& host, const CommandState& state,
                               std::initializer_list<const char*> workingFiles)
{
    return RefuseIfChosenFileIsAmong(host, state, workingFiles.begin(), workingFiles.end());
}

bool RefuseIfChosenFileIsPrepared(CommandHost& host, const CommandState& state)
{
    if (RefuseIfChosenFileIsAmong(host, state, std::begin(kSystemFiles), std::end(kSystemFiles)))
        return true;
    return RefuseIfChosenFileIsAmong(host, state, {kTempFile});
}

bool RefuseIfChosenFileIs(CommandHost& host, const CommandState& state, const std::string& path,
                          const char* shownName)
{
    if (state.m_szUpdateFile[0] == '\0' || !SameLocalFile(ChosenFilePath(state), path))
        return false;
    const std::string text = std::string("所选的升级文件就是本程序的工作文件 ") + shownName +
                             "，执行此命令会覆盖或删除它。请先把它改名或移到别的文件夹，再重新浏览选择。";
    host.ShowMessage(text.c_str());
    return true;
}

bool RefuseIfChosenFileIsAmong(CommandHost& host, const CommandState& state, const char* const* first,
                               const char* const* last)
{
    for (const char* const* it = first; it != last; ++it) {
        if (RefuseIfChosenFileIs(host, state, *it, *it))
            return true;
    }
    return false;
}
