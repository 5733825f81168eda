// The console's side of the upgrade commands: what they read from and show
// in the dialog, and the remote operations they hand to the routes.
#include "BrantelDlg.h"
#include "Dispatcher.h"
#include "FtpTransfer.h"
#include "MessageBox.h"
#include "ProgressSink.h"
#include "SftpTransfer.h"
#include "TextCodePages.h"

#include <commdlg.h>

#include <vector>

namespace {
// The SFTP route drives the console's progress bar through this.
class ProgressBarSink : public ProgressSink {
public:
    explicit ProgressBarSink(CProgressCtrl& bar) : m_bar(bar) {}
    void SetRange(int lower, int upper) override { m_bar.SetRange(lower, upper); }
    void SetPos(int position) override { m_bar.SetPos(position); }

private:
    CProgressCtrl& m_bar;
};

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

private:
    CBrantelDlg& m_console;
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

int CBrantelDlg::DispatchRemoteOperation(int route, const char* targetAddress, const char* userName,
                                         const char* password, const char* remoteDir, const char* fileName,
                                         const char* localDir, int authPreference, int operation)
{
    const RemoteRequest request{route, targetAddress, userName, password, remoteDir,
                                fileName, localDir, authPreference, operation};
    ConsoleRoutes routes(*this);
    return ::DispatchRemoteOperation(request, routes);
}

int CBrantelDlg::DispatchRemoteOperation(const RemoteRequest& r)
{
    return DispatchRemoteOperation(r.route, r.targetAddress, r.userName, r.password, r.remoteDir, r.fileName,
                                   r.localDir, r.authPreference, r.operation);
}

int CBrantelDlg::SftpTransfer(const char* targetAddress, const char* userName, const char* password,
                              const char* remoteDir, const char* fileName, const char* localDir,
                              int authPreference, int operation)
{
    ProgressBarSink progress(m_progress);
    return ::SftpTransfer(RemoteRequest{kRouteSftp, targetAddress, userName, password, remoteDir, fileName,
                                        localDir, authPreference, operation},
                          progress);
}

int CBrantelDlg::FtpTransfer(const char* targetAddress, const char* userName, const char* password,
                             const char* remoteDir, const char* fileName, const char* localDir,
                             int authPreference, int operation)
{
    return ::FtpTransfer(RemoteRequest{kRouteFtp, targetAddress, userName, password, remoteDir, fileName,
                                       localDir, authPreference, operation},
                         ShowInMessageBox);
}

int CBrantelDlg::CpuModelIndex() { return m_comboCpu.GetCurSel(); }
std::string CBrantelDlg::TargetAddressText() { return m_ipTarget.GetWindowText(); }
std::string CBrantelDlg::NewAddressText() { return m_ipNew.GetWindowText(); }
std::string CBrantelDlg::PathBoxText() { return m_editFile.GetWindowText(); }
void CBrantelDlg::SetPathBoxText(const char* text) { m_editFile.SetWindowText(text); }
void CBrantelDlg::SetStatusText(const char* text) { m_staticStatus.SetWindowText(text); }
void CBrantelDlg::ShowMessage(const char* text) { AfxMessageBox(text); }
std::string CBrantelDlg::SettingsDirectory() { return m_szCurPath; }

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
