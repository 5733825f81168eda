#pragma once
// The upgrade console: the program's only main window. It holds the console
// state, runs the reachability watch and the clock, and hands each button
// to its command.
#include "CommandHost.h"
#include "CommandState.h"
#include "Controls.h"
#include "Dialog.h"
#include "HostKeyTrust.h"
#include "RestartWatch.h"
#include "WindowThreadCalls.h"
#include "colorstatic.h"
#include "movecontrol.h"

#include <atomic>
#include <functional>
#include <utility>
#include <vector>

class CBrantelDlg : public CDialog, public CommandHost {
public:
    explicit CBrantelDlg(HWND parent = nullptr);
    ~CBrantelDlg() override;

    // Makes sure the reachability worker has ended: asks it to stop and waits
    // for it. Safe to call at any time, also more than once.
    void StopNetCheck();

    // The routes. Each runs its operation on a worker thread while the
    // console goes on painting and answering the system, but handles
    // nothing of its own (see RunOperation).
    int SftpTransfer(const char* targetAddress, const char* userName, const char* password,
                     const char* remoteDir, const char* fileName, const char* localDir,
                     int authPreference, int operation);
    int FtpTransfer(const char* targetAddress, const char* userName, const char* password,
                    const char* remoteDir, const char* fileName, const char* localDir,
                    int authPreference, int operation);

    // Where the reachability worker posts WM_NETSTATUS; null once the window
    // has gone, so that late posts are dropped.
    HWND NetStatusWindow() const { return m_netStatusWindow.load(); }

    // True from the moment Exit begins: no further remote operation starts
    // and no further message is shown.
    bool Closing() const { return m_closing; }

    // The reachability worker reports every probe here.
    RestartWatch& Restarts() { return m_restartWatch; }

    // CommandHost
    int CpuModelIndex() override;
    std::string TargetAddressText() override;
    std::string NewAddressText() override;
    std::string PathBoxText() override;
    void SetPathBoxText(const char* text) override;
    void SetStatusText(const char* text) override;
    void EnableButton(int controlId, bool enable) override;
    void ShowMessage(const char* text) override;
    // One remote operation through the reachable check, the route of the
    // model, and the one window message let through afterwards.
    RemoteOutcome DispatchRemoteOperation(const RemoteRequest& request) override;
    bool RunSaveFileDialog(const SaveDialogOptions& options, FileChoice& choice) override;
    std::string SettingsDirectory() override;
    EventLog& Record() override;
    void WatchRestart(const std::string& address) override;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool DeferCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void BuildRoutes();
    // Routes a button's click to its command (see m_hostKeyAnswers).
    void RouteButton(int controlId, std::function<void()> command);
    void AddEntriesToSystemMenu();
    void OpenRecordFolder();
    void ShowLogoForScreenDpi();
    void StartNetCheck();
    void ShowSavedTargetAddress();
    void OnExit();
    void OnTimer(UINT_PTR timerId);
    LRESULT OnNetStatus();
    void OnPaint();
    // `calls`: where the operation hands calls to this thread, if it does.
    int RunOperation(const std::function<int()>& operation, const std::function<void()>& refresh,
                     WindowThreadCalls* calls = nullptr);

    CommandState m_state;  // chosen update file and folder, target address text
    HICON m_hIcon;
    MoveControl m_layout;
    char m_szCurPath[MAX_PATH] = "";
    CEdit m_editFile;
    CProgressCtrl m_progress;
    CIPAddressCtrl m_ipTarget;
    CButton m_btnApply;
    CStatic m_staticStatus;
    CButton m_btnCreate;
    CButton m_btnPlc1, m_btnPlc3, m_btnPlc5, m_btnPlc6, m_btnPlc2, m_btnPlc7, m_btnPlc4, m_btnPlc8;
    CComboBox m_comboCpu;
    CButton m_btnRestart;
    CColorStatic m_netLamp;
    CButton m_btnSetIp;
    CIPAddressCtrl m_ipNew;

    HANDLE m_hNetCheckThread = nullptr;
    HBITMAP m_hLogoForDpi = nullptr;  // the logo at the screen's DPI, when above 96
    std::atomic<HWND> m_netStatusWindow{nullptr};
    bool m_closing = false;
    bool m_operationRunning = false;
    // The lamp's last colour: -1 before the first probe, else g_bNetOk.
    int m_lampShown = -1;
    RestartWatch m_restartWatch;
    // Commands that arrived while an operation ran, posted again once it is
    // over. Posting them at once would not do: a message box open during the
    // operation (the host-key question) takes every queued message, and
    // would hand the command straight back.
    std::vector<std::pair<WPARAM, LPARAM>> m_deferredCommands;
    // What the engineer answered about changed host keys during the command
    // that runs: a command asks at most once about a controller. A command
    // started inside another one shares the outer command's answers: it
    // runs while the engineer is still busy with the outer one, which has
    // asked already. Cleared when an outermost command starts; the route
    // uses it on its worker while this thread waits.
    HostKeyAnswers m_hostKeyAnswers;
    int m_commandDepth = 0;
};

// The reachability worker: probes the target address every cycle and posts
// WM_NETSTATUS to the console. Returns 1 after an orderly stop, -1 at once
// without a dialog.
DWORD WINAPI NetCheckThread(LPVOID dialog);
