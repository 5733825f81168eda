#pragma once
// The session record: one UTF-8 text file for each run of the program, one
// event a line, each line beginning with the local date and time to the
// millisecond. It tells the engineer afterwards what was done, to which
// controller, and why something failed; and it is what they hand on in a
// service report. It never holds a password, a passphrase, a
// keyboard-interactive response or the content of a key.
//
// The record is written beside the standard streams, never instead of
// them. Where it cannot be made, the program works as before without one.
#include "EventLog.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

class SessionRecord : public EventLog {
public:
    // A record stops growing at this size, with a last line saying so.
    static constexpr unsigned long long kSizeLimit = 20ull * 1000 * 1000;

    SessionRecord() = default;
    ~SessionRecord() override;
    SessionRecord(const SessionRecord&) = delete;
    SessionRecord& operator=(const SessionRecord&) = delete;

    // Creates the record file `path`, which must not exist yet. False when it
    // cannot be created; the reason then goes to the debugger output.
    bool Open(const std::wstring& path, unsigned long long sizeLimit = kSizeLimit);
    void Close();
    bool IsOpen() const { return m_file.load() != nullptr; }

    // Adds the time, and turns line ends inside `line` into " | ", so that
    // one event stays one line. Does nothing while no record is open.
    void Write(const std::string& line) override;

    // For the crash filter, on the faulting thread: one line naming the crash
    // report (`reportPath`, or null when none could be written). It takes no
    // lock and allocates nothing: the fault may have struck while another
    // line was being written, or in the heap itself.
    void WriteFault(const wchar_t* reportPath);

private:
    void Append(const char* data, DWORD size);

    std::mutex m_lock;
    // Opened for appending only, so that every write lands whole at the end
    // of the file, whichever thread makes it.
    std::atomic<HANDLE> m_file{nullptr};
    unsigned long long m_written = 0;      // guarded by m_lock
    unsigned long long m_limit = 0;        // guarded by m_lock
    std::atomic<bool> m_full{false};       // written under m_lock
};

// The program's record, which the console, the routes, the reachability
// worker, the message boxes and the crash filter all write to.
extern SessionRecord g_sessionRecord;
