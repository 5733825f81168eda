#pragma once
// Pieces that several command flows share.
#include "CommandHost.h"
#include "CommandState.h"
#include "FullPath.h"

#include <initializer_list>
#include <string>

// An upload of `fileName` (from `localDir`, empty = working directory) to
// `remoteDir`, addressed as every command addresses the target.
RemoteRequest UploadRequest(int model, const char* address, const char* remoteDir, const char* fileName,
                            const char* localDir = "");
// Makes sure `remoteDir` exists on the target.
RemoteRequest EnsureDirectoryRequest(int model, const char* address, const char* remoteDir);

// Records that the command `name` runs, with the target address and the
// model as it read them and, where it sends one, the chosen file.
void RecordCommand(CommandHost& host, const char* name, int model, const std::string& address,
                   const std::string& chosenFile = std::string());

// Copies the target address control's text (at most 99 characters) into the
// state and returns the command's own copy.
std::string TakeTargetAddress(CommandHost& host, CommandState& state);

// Holds the working directory's system file set for one command. A command
// that finds it held by the command it was started inside does nothing: its
// click has no effect, as on a disabled button.
class SystemFileSetClaim {
public:
    explicit SystemFileSetClaim(CommandState& state);
    ~SystemFileSetClaim();
    SystemFileSetClaim(const SystemFileSetClaim&) = delete;
    SystemFileSetClaim& operator=(const SystemFileSetClaim&) = delete;
    bool Held() const { return m_held; }

private:
    CommandState& m_state;
    bool m_held;
};

// The chosen folder, "\", the chosen file name.
std::string ChosenFilePath(const CommandState& state);

// True when a regular file exists under `path`.
bool LocalFileExists(const std::string& path);
// True when the regular file under `path` can be opened for reading now.
bool LocalFileReadable(const std::string& path);

// True when the two paths name the same local file: the same full path
// (letter case aside), or, for existing files, the same file on disk.
bool SameLocalFile(const std::string& a, const std::string& b);

// A command writes or deletes some of its own working files. If the chosen
// update file is the one under `path`, tells the engineer (naming it
// `shownName`) and returns true: the command must not run, or it would
// destroy the file they mean to send.
bool RefuseIfChosenFileIs(CommandHost& host, const CommandState& state, const std::string& path,
                          const char* shownName);
// The same for files of the working directory, by bare name.
bool RefuseIfChosenFileIsAmong(CommandHost& host, const CommandState& state, const char* const* first,
                               const char* const* last);
bool RefuseIfChosenFileIsAmong(CommandHost& host, const CommandState& state,
                               std::initializer_list<const char*> workingFiles);
// The same for the files that PrepareSystemFiles writes or deletes: the
// seven generic system files and its scratch file.
bool RefuseIfChosenFileIsPrepared(CommandHost& host, const CommandState& state);
