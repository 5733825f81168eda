#pragma once
// The CPU models of the target, the local system file set and the handshake
// files. Every local file here is a bare name in the process's working
// directory.
#include <vector>

// Index of the model combo box; any other value means no model is chosen.
enum CpuModel { kModelM410 = 0, kModelM520 = 1 };

// "/mnt/nandflash" for M410, "/mnt/mmc" for M520, empty for no model.
const char* RemoteRootFor(int model);

// The seven generic names of the system file set, in the order the model
// variants are copied: "Telvo", "Korvid", "run.sh", "userinfo.txt",
// "user.sh", "scan", "test_isa".
constexpr int kSystemFileCount = 7;
extern const char* const kSystemFiles[kSystemFileCount];

// The model's variant of a generic name ("Korvid" -> "Korvid-M520",
// "run.sh" -> "run-M520.sh"), or nullptr for no model.
const char* SystemFileVariant(int systemFileIndex, int model);

// The same by generic name ("userinfo.txt" -> "userinfo-M520.txt"); nullptr
// for no model or a name outside the set.
const char* SystemFileVariantOf(const char* genericName, int model);

// True for the seven generic names of the system file set.
bool IsSystemFile(const char* genericName);

// Every file of the working directory that Create system sends for `model`,
// as it lies there before the preparation: the model's seven variants, then
// "issue", "hostname" and "inetd.conf" (M410) or "rc.local" (M520). Empty for
// no model.
std::vector<const char*> LocalSystemSet(int model);

// Which of the seven generic files hold the chosen model's variant, ready to
// be sent, after PrepareSystemFiles. A file that is not ready holds nothing,
// or a stale copy, possibly of the other model.
class PreparedSystemFiles {
public:
    void SetReady(const char* genericName, bool ready);
    bool Ready(const char* genericName) const;

private:
    bool m_ready[kSystemFileCount] = {};
};

// Brings the seven generic files of `model` into the working directory:
// deletes the stale ones, copies the model's variants over them and turns the
// CR bytes of the three text files into LF. A file is ready when its
// variant was copied and, for the three text files, converted.
PreparedSystemFiles PrepareSystemFiles(int model);

// Replaces every CR byte of the file by LF (same length), through "tmp.txt".
// Returns 1 when the file holds the converted bytes, 0 when it could not be
// read, "tmp.txt" could not be made or the file could not be replaced.
int ConvertCrToLf(const char* path);

// Scratch file of ConvertCrToLf.
constexpr const char* kTempFile = "tmp.txt";

// Handshake files: written just before they are sent, three bytes each.
constexpr const char* kShutdownFile = "shutdown.txt";
constexpr const char* kRebootFile = "reboot.txt";
// Creates or truncates `name` and writes the handshake's three bytes, binary.
// Returns false when the file cannot be created or written.
bool WriteShutdownFile();
bool WriteRebootFile();
