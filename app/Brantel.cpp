#include "Brantel.h"

#include "BrantelDlg.h"
#include "HostEnv.h"
#include "MessageBox.h"
#include "OpenRecord.h"
#include "RecordFolder.h"
#include "SocketInit.h"
#include "StartupRecord.h"
#include "resource.h"

#include <commctrl.h>

CBrantelApp theApp;

CBrantelApp::CBrantelApp()
{
    m_dwRestartManagerSupportFlags = 1;
}

BOOL CBrantelApp::InitInstance()
{
    SYSTEMTIME start;
    ::GetLocalTime(&start);
    if (OpenSessionRecord(g_sessionRecord, RecordFolder(), start))
        RecordProgramStart(g_sessionRecord);

    INITCOMMONCONTROLSEX InitCtrls;
    InitCtrls.dwSize = sizeof InitCtrls;
    InitCtrls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&InitCtrls);

    CWinApp::InitInstance();

    if (!AfxSocketInit()) {
        AfxMessageBox(IDP_SOCKETS_INIT_FAILED);
        return FALSE;
    }

    if (const int loaded = LoadHostEnv(1); loaded <= 0) {
        g_sessionRecord.Write("the host library KelvoX.dll could not be loaded (code " + std::to_string(loaded) + ")");
        AfxMessageBox("KelvoX加载错误");
        return FALSE;
    }
    RecordHostEnvironment(g_sessionRecord);

    CBrantelDlg dlg;
    m_pMainWnd = &dlg;
    const INT_PTR response = dlg.DoModal();
    if (response == -1) {
        ::OutputDebugStringA("警告: 对话框创建失败，应用程序将意外终止。\n");
        ::OutputDebugStringA("警告: 如果您在对话框上使用 MFC 控件，则无法 #define _AFX_NO_MFC_CONTROLS_IN_DIALOGS。\n");
    }
    m_pMainWnd = nullptr;

    // However the dialog closed, its reachability worker must be out of the
    // library before the library is released.
    dlg.StopNetCheck();
    FreeHostEnv();
    g_sessionRecord.Write("program ends");
    g_sessionRecord.Close();
    return FALSE;
}
