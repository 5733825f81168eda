// The console's side of the upgrade commands: what they read from and show
// in the dialog, and the remote operations they hand to the routes.
#include "BrantelDlg.h"
#include "BusyWait.h"
#include "ConsoleHostKeys.h"
#include "Dispatcher.h"
#include "FtpTransfer.h"
#include "MessageBox.h"
#include "ProgressRelay.h"
#include "SessionRecord.h"
#include "SftpTransfer.h"
#include "TextCodePages.h"

#include <commdlg.h>

#include <mutex>
#include <string>
#include <vector>

namespace {
class ConsoleRoutes : public RemoteRoutes {
public:
    explicit ConsoleRoutes(CBrantelDlg& console) : m_console(console) {}
    int Ftp(const RemoteRequest& r) override
    {
        return m_console.FtpTransfer(r.targetAddress, r.userName, r.password, r.remoteDir, r.fileName,
                                     r.localDir, r.authPreference, r.operation);
    }
    int Sftp(const RemoteRequest& r) override
    {
        return m_console.SftpTransfer(r.targetAddress, r.userName, r.password, r.remoteDir, r.fileName,
                                      r.localDir, r.authPreference, r.operation);
    }
    bool Closing() const override { return m_console.Closing(); }

private:
    CBrantelDlg& m_console;
};

// What the FTP route has to tell the engineer while it works on its worker
// thread, kept for the console's thread to show once the operation is over.
class DeferredMessages {
public:
    struct Message {
        std::string text;
        MessageText source;
    };
    void Add(const char* text, MessageText source)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_messages.push_back({text, source});
    }
    std::vector<Message> Take()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return std::move(m_messages);
    }

private:
    std::mutex m_lock;
    std::vector<Message> m_messages;
};

// "label|patterns|...||" to the system's form: NUL-separated, double NUL at
// the end. The labels are the program's own texts.
std::wstring SystemFilter(const char* filter)
{
    std::wstring system = ProgramTextToWide(filter);
    for (wchar_t& c : system)
        if (c == L'|')
            c = L'\0';
    return system + L'\0';
}
}  // namespace

RemoteOutcome CBrantelDlg::DispatchRemoteOperation(const RemoteRequest& request)
{
    ConsoleRoutes routes(*this);
    return ::DispatchRemoteOperation(request, routes);
}

int CBrantelDlg::RunOperation(const std::function<int()>& operation, const std::function<void()>& refresh,
                              WindowThreadCalls* calls)
{
    BusyWaitOptions options;
    options.animated = {m_progress.m_hWnd};
    options.refresh = refresh;
    options.calls = calls;
    m_operationRunning = true;
    const int result = RunWhileWindowsStayAlive(operation, options);
    m_operationRunning = false;
    for (const auto& command : m_deferredCommands)
        ::PostMessageA(m_hWnd, WM_COMMAND, command.first, command.second);
    m_deferredCommands.clear();
    return result;
}

int CBrantelDlg::SftpTransfer(const char* targetAddress, const char* userName, const char* password,
                              const char* remoteDir, const char* fileName, const char* localDir,
                              int authPreference, int operation)
{
    const RemoteRequest request{kRouteSftp, targetAddress, userName, password, remoteDir,
                                fileName,   localDir,      authPreference, operation};
    ProgressRelay progress;
    WindowThreadCalls calls;
    ConsoleHostKeys hostKeys(m_szCurPath, m_hostKeyAnswers, calls, m_closing);
    return RunOperation([&] { return ::SftpTransfer(request, progress, g_sessionRecord, hostKeys); },
                        [&] { progress.ShowOn(m_progress); }, &calls);
}

int CBrantelDlg::FtpTransfer(const char* targetAddress, const char* userName, const char* password,
                             const char* remoteDir, const char* fileName, const char* localDir,
                             int authPreference, int operation)
{
    const RemoteRequest request{kRouteFtp, targetAddress, userName, password, remoteDir,
                                fileName,  localDir,      authPreference, operation};
    DeferredMessages messages;
    const int result = RunOperation(
        [&] {
            return ::FtpTransfer(
                request, [&](const char* text, MessageText source) { messages.Add(text, source); }, g_sessionRecord);
        },
        nullptr);
    for (const DeferredMessages::Message& message : messages.Take()) {
        if (m_closing)
            break;
        if (message.source == MessageText::System)
            AfxMessageBoxSystemText(message.text.c_str());
        else
            AfxMessageBox(message.text.c_str());
    }
    return result;
}

int CBrantelDlg::CpuModelIndex() { return m_comboCpu.GetCurSel(); }
std::string CBrantelDlg::TargetAddressText() { return m_ipTarget.GetWindowText(); }
std::string CBrantelDlg::NewAddressText() { return m_ipNew.GetWindowText(); }
std::string CBrantelDlg::PathBoxText() { return m_editFile.GetWindowText(); }
void CBrantelDlg::SetPathBoxText(const char* text) { m_editFile.SetWindowText(text); }
void CBrantelDlg::SetStatusText(const char* text) { m_staticStatus.SetWindowText(text); }
// Once the console is closing the engineer has left: nothing more is shown.
void CBrantelDlg::ShowMessage(const char* text)
{
    if (!m_closing)
        AfxMessageBox(text);
}
std::string CBrantelDlg::SettingsDirectory() { return m_szCurPath; }
EventLog& CBrantelDlg::Record() { return g_sessionRecord; }
void CBrantelDlg::WatchRestart(const std::string& address) { m_restartWatch.Begin(address, ::GetTickCount64()); }

void CBrantelDlg::EnableButton(int controlId, bool enable)
{
    ::EnableWindow(GetDlgItem(controlId), enable ? TRUE : FALSE);
}

bool CBrantelDlg::RunSaveFileDialog(const SaveDialogOptions& options, FileChoice& choice)
{
    // Room for any path the dialog can give: a choice too long for the
    // console's buffers must reach the command whole, to be refused there.
    std::vector<wchar_t> path(32768, L'\0');
    ProgramTextToWide(options.initialFileName).copy(path.data(), path.size() - 1);
    const std::wstring filter = SystemFilter(options.filter);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!::GetSaveFileNameW(&ofn))
        return false;
    // The choice is a path of the system's: the commands keep it, as they
    // keep every path, in the system's code page.
    const std::wstring fullPath(path.data());
    std::wstring folder = fullPath.substr(0, ofn.nFileOffset);
    // The folder as the dialog reports it: without a trailing backslash,
    // except for the root of a drive.
    if (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    choice.fullPath = WideToSystemText(fullPath);
    choice.fileName = WideToSystemText(fullPath.substr(ofn.nFileOffset));
    choice.folder = WideToSystemText(folder);
    return true;
}
