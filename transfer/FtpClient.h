#pragma once
// A small FTP client over WinINet: one connection to one server, used for a
// single remote operation and closed again.
//
// What the user is told when something fails:
//  - Connect: the session or the login cannot be had (no FTP service,
//    connection refused, login refused with 530, no greeting in time): the
//    text WinINet has for the error, or "There was an exception" when it has
//    none (Wine has none for a refused login); the call returns 0.
//  - Upload, Download, EnsureDirectory: the server refuses (an error reply,
//    ERROR_INTERNET_EXTENDED_ERROR or ERROR_INTERNET_LOGIN_FAILURE) or the
//    local file cannot be used: 0 and nothing shown; the command that asked
//    reports the outcome.
//  - Upload, Download, EnsureDirectory: the network or the target breaks
//    down (time-out 12002, cancelled 12017, data connection refused 12029,
//    aborted 12030, reset 12031, the session dropped ..., or a call that
//    outlives its limit): "网络异常或CPU模块选型错误!" and 0.
// An upload counts as done only when the server confirms it with 226.
//
// Every failure also goes into the session record, with WinINet's error
// code and the server's last reply, which the engineer needs to tell a
// full disk from a refused login.
#include "BoundedCall.h"
#include "EventLog.h"

#include <windows.h>
#include <wininet.h>

#include <functional>
#include <string>

// Whose words a message is: the program's own texts are code page 936;
// WinINet's error texts are in the system's code page.
enum class MessageText { Program, System };
// Where the route's messages go: the application's message box in the
// program, a recorder in tests.
using MessageSink = std::function<void(const char* text, MessageText source)>;

class CFtpClient {
public:
    CFtpClient(MessageSink showMessage, EventLog& record);
    ~CFtpClient();
    CFtpClient(const CFtpClient&) = delete;
    CFtpClient& operator=(const CFtpClient&) = delete;

    // Opens the session and logs in to m_server as m_user with m_password.
    // When that fails the user is shown WinINet's text for the error.
    int Connect();
    // Closes the connection and the session; safe to call at any time.
    int Disconnect();
    // Each returns 1 on success. A refusal by the server returns 0 quietly;
    // a broken or silent network returns 0 after telling the user.
    int Upload(const char* localFile, const char* remoteFile);
    int Download(const char* remoteFile, const char* localFile);
    // Changes into remotePath, or creates it when that fails.
    int EnsureDirectory(const char* remotePath);

    int m_connected = 0;
    HINTERNET m_session = nullptr;
    HINTERNET m_connection = nullptr;
    std::string m_password;
    std::string m_server;
    std::string m_user;

private:
    enum class Outcome { Done, Refused, NetworkFailed };
    Outcome RunTransferCall(const char* what, std::function<BOOL(HINTERNET)> call, DWORD limitMs,
                            bool activeDataConnection);
    int Finish(Outcome outcome);
    void RecordFailure(const std::string& what, const BoundedCallResult& result, DWORD limitMs);

    MessageSink m_showMessage;
    EventLog& m_record;
};
