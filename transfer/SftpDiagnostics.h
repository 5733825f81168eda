#pragma once
// The SFTP route's diagnostic lines. Each goes to its standard stream
// exactly as the route has always written it, and into the session record,
// where a window program's lines are not lost. The record differs in two
// ways: the line written before every chunk of an upload is counted, and
// recorded once per upload with its number; and a keyboard-interactive
// response is recorded as "***", never as it was typed.
#include "EventLog.h"

#include <cstdio>
#include <string>

class SftpDiagnostics {
public:
    explicit SftpDiagnostics(EventLog& record) : m_record(record) {}
    // Records the count of chunk lines, if any are still uncounted.
    ~SftpDiagnostics();
    SftpDiagnostics(const SftpDiagnostics&) = delete;
    SftpDiagnostics& operator=(const SftpDiagnostics&) = delete;

    // printf-style lines for standard error and standard output.
    void Error(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Output(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Text for standard output whose record copy is `recorded` instead.
    void OutputRecordedAs(const std::string& text, const std::string& recorded);
    // A line for the record alone, in UTF-8.
    void Note(const std::string& line);
    // "libssh2_sftp_write()!" before a chunk: to standard error, counted.
    void ChunkWrite();
    // Records how many chunk lines there were since the last count.
    void CountChunks();

    EventLog& Record() { return m_record; }

private:
    void Emit(FILE* stream, const std::string& text, const std::string& recorded);

    EventLog& m_record;
    unsigned long m_chunkLines = 0;
    // Text written to each stream since its last line end: a line may be
    // written in pieces ("Please type response: " waits for the answer).
    std::string m_pending[2];
};
