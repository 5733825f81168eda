#include "SftpDiagnostics.h"

#include "FormatText.h"
#include "TextCodePages.h"

#include <cstdarg>

SftpDiagnostics::~SftpDiagnostics() { CountChunks(); }

void SftpDiagnostics::Emit(FILE* stream, const std::string& text, const std::string& recorded)
{
    std::fputs(text.c_str(), stream);
    std::string& pending = m_pending[stream == stderr ? 0 : 1];
    pending += recorded;
    size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        // The empty lines that set paragraphs apart on a console say nothing
        // in the record.
        if (end > 0)
            Note(Utf8FromPeerText(pending.substr(0, end)));
        pending.erase(0, end + 1);
    }
}

void SftpDiagnostics::Error(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const std::string text = FormatTextV(format, arguments);
    va_end(arguments);
    Emit(stderr, text, text);
}

void SftpDiagnostics::Output(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const std::string text = FormatTextV(format, arguments);
    va_end(arguments);
    Emit(stdout, text, text);
}

void SftpDiagnostics::OutputRecordedAs(const std::string& text, const std::string& recorded)
{
    Emit(stdout, text, recorded);
}

void SftpDiagnostics::Note(const std::string& line) { m_record.Write(line); }

void SftpDiagnostics::ChunkWrite()
{
    std::fputs("libssh2_sftp_write()!\n", stderr);
    ++m_chunkLines;
}

void SftpDiagnostics::CountChunks()
{
    if (m_chunkLines == 0)
        return;
    Note("libssh2_sftp_write()! (" + std::to_string(m_chunkLines) + " times, once before each chunk)");
    m_chunkLines = 0;
}
