#include "FtpClient.h"

#include "BoundedCall.h"
#include "DataPortWake.h"
#include "FtpErrors.h"
#include "LocalFile.h"
#include "TextCodePages.h"

#include <vector>

namespace {
const char kUserAgent[] = "MyProgram/1.0";
constexpr DWORD_PTR kContext = 1;
constexpr INTERNET_PORT kFtpPort = 21;
const char kNoErrorText[] = "There was an exception";
const char kNetworkFailure[] = "网络异常或CPU模块选型错误!";

// A target that stops answering must not hold the console for long: every
// wait on the network ends within these limits.
constexpr DWORD kReplyLimitMs = 15000;
// An upload may take longer than one reply; it is allowed the time it needs
// at the slowest rate that still counts as a working link.
constexpr unsigned long long kSlowestBytesPerSecond = 64 * 1024;
// The size of a download is not known beforehand.
constexpr DWORD kDownloadLimitMs = 10 * 60 * 1000;

DWORD UploadLimitMs(const char* localFile)
{
    const long long known = LocalFileSize(localFile);
    const unsigned long long size = known > 0 ? static_cast<unsigned long long>(known) : 0;
    unsigned long long extra = size * 1000 / kSlowestBytesPerSecond;
    unsigned long long limit = kReplyLimitMs + extra;
    return limit > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(limit);
}

void SetTimeouts(HINTERNET session)
{
    DWORD ms = kReplyLimitMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
        ::InternetSetOptionA(session, option, &ms, sizeof ms);
}
}  // namespace

CFtpClient::CFtpClient(MessageSink showMessage, EventLog& record)
    : m_showMessage(std::move(showMessage)), m_record(record)
{
}

void CFtpClient::RecordFailure(const std::string& what, const BoundedCallResult& result, DWORD limitMs)
{
    std::string line = "FTP " + what + " failed: ";
    if (!result.finished) {
        line += "no answer within " + std::to_string(limitMs / 1000) + " s";
    } else {
        line += "WinINet error " + std::to_string(result.error);
        const std::string text = InternetErrorText(result.error, std::string());
        if (!text.empty())
            line += " (" + Utf8FromSystemText(text) + ")";
        line += "; the server's last reply: " +
                (result.response.empty() ? std::string("none") : Utf8FromSystemText(result.response));
    }
    m_record.Write(line);
}

CFtpClient::~CFtpClient() { Disconnect(); }

int CFtpClient::Connect()
{
    m_connected = 0;
    m_session = ::InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    DWORD error = 0;
    std::string response;
    if (m_session) {
        SetTimeouts(m_session);
        HINTERNET session = m_session;
        BoundedCall task;
        task.call = [session, server = m_server, user = m_user, password = m_password] {
            return reinterpret_cast<uintptr_t>(::InternetConnectA(session, server.c_str(), kFtpPort, user.c_str(),
                                                                  password.c_str(), INTERNET_SERVICE_FTP, 0,
                                                                  kContext));
        };
        task.discard = [](uintptr_t handle) { ::InternetCloseHandle(reinterpret_cast<HINTERNET>(handle)); };
        // Closing the session ends a connect that is still under way.
        task.abort = [this] { Disconnect(); };
        BoundedCallResult result = RunBounded(std::move(task), kReplyLimitMs);
        if (result.finished && result.value) {
            m_connection = reinterpret_cast<HINTERNET>(result.value);
            m_connected = 1;
            return 1;
        }
        RecordFailure("connect to " + m_server, result, kReplyLimitMs);
        error = result.finished ? result.error : ERROR_INTERNET_TIMEOUT;
        response = result.response;
    } else {
        error = ::GetLastError();
        m_record.Write("FTP session could not be opened: WinINet error " + std::to_string(error));
    }
    std::string text = InternetErrorText(error, response);
    if (text.empty())
        m_showMessage(kNoErrorText, MessageText::Program);
    else
        m_showMessage(text.c_str(), MessageText::System);
    m_connection = nullptr;
    return 0;
}

int CFtpClient::Disconnect()
{
    if (m_connection)
        ::InternetCloseHandle(m_connection);
    if (m_session)
        ::InternetCloseHandle(m_session);
    m_connection = nullptr;
    m_session = nullptr;
    return 1;
}

CFtpClient::Outcome CFtpClient::RunTransferCall(const char* what, std::function<BOOL(HINTERNET)> call,
                                                DWORD limitMs, bool activeDataConnection)
{
    std::vector<ListenerAddress> listeners;
    if (activeDataConnection)
        listeners = OwnListeners();
    HINTERNET connection = m_connection;
    BoundedCall task;
    task.call = [call = std::move(call), connection] { return static_cast<uintptr_t>(call(connection) ? 1 : 0); };
    task.abort = [this, activeDataConnection, listeners] {
        Disconnect();
        if (activeDataConnection)
            WakeDataListeners(listeners, m_server, kFtpPort);
    };
    BoundedCallResult result = RunBounded(std::move(task), limitMs);
    if (result.finished && result.value)
        return Outcome::Done;
    RecordFailure(what, result, limitMs);
    if (!result.finished)
        return Outcome::NetworkFailed;
    return IsNetworkFailure(result.error) ? Outcome::NetworkFailed : Outcome::Refused;
}

int CFtpClient::Finish(Outcome outcome)
{
    if (outcome == Outcome::NetworkFailed)
        m_showMessage(kNetworkFailure, MessageText::Program);
    return outcome == Outcome::Done ? 1 : 0;
}

int CFtpClient::Upload(const char* localFile, const char* remoteFile)
{
    if (!m_connected)
        return 0;
    auto put = [local = std::string(localFile), remote = std::string(remoteFile)](HINTERNET connection) {
        return ::FtpPutFileA(connection, local.c_str(), remote.c_str(), FTP_TRANSFER_TYPE_BINARY, kContext);
    };
    return Finish(RunTransferCall("put", put, UploadLimitMs(localFile), true));
}

int CFtpClient::Download(const char* remoteFile, const char* localFile)
{
    if (!m_connected)
        return 0;
    auto get = [remote = std::string(remoteFile), local = std::string(localFile)](HINTERNET connection) {
        return ::FtpGetFileA(connection, remote.c_str(), local.c_str(), FALSE, FILE_ATTRIBUTE_NORMAL,
                             FTP_TRANSFER_TYPE_BINARY, kContext);
    };
    return Finish(RunTransferCall("get", get, kDownloadLimitMs, true));
}

int CFtpClient::EnsureDirectory(const char* remotePath)
{
    if (!m_connected)
        return 0;
    std::string path(remotePath);
    Outcome outcome = RunTransferCall(
        "change directory",
        [path](HINTERNET connection) { return ::FtpSetCurrentDirectoryA(connection, path.c_str()); },
        kReplyLimitMs, false);
    if (outcome == Outcome::Refused)
        outcome = RunTransferCall(
            "make directory",
            [path](HINTERNET connection) { return ::FtpCreateDirectoryA(connection, path.c_str()); },
            kReplyLimitMs, false);
    return Finish(outcome);
}
