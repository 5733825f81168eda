#include "BrantelDlg.h"

#include "AboutDlg.h"
#include "ConsoleSettings.h"
#include "HostEnv.h"
#include "NetState.h"
#include "RecordFolder.h"
#include "Resources.h"
#include "SessionRecord.h"
#include "SystemMenu.h"
#include "TextCodePages.h"
#include "UpgradeCommands.h"
#include "resource.h"
#include "screendpi.h"

#include <shellapi.h>

#include <ctime>

namespace {
constexpr UINT_PTR kClockTimer = 0;    // status line clock, every second
constexpr UINT_PTR kAddressTimer = 1;  // target address hand-over to the worker
constexpr COLORREF kLampReachable = RGB(0, 255, 0);
constexpr COLORREF kLampUnreachable = RGB(255, 0, 0);
}  // namespace

CBrantelDlg::CBrantelDlg(HWND parent)
    : CDialog(IDD_BRANTEL_DIALOG, parent),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
    BuildRoutes();
}

CBrantelDlg::~CBrantelDlg()
{
    StopNetCheck();
    // A static control does not own the images it is given.
    if (m_hLogoForDpi)
        ::DeleteObject(m_hLogoForDpi);
}

void CBrantelDlg::BuildRoutes()
{
    RouteMessageOrDefault(WM_SYSCOMMAND, [this](WPARAM wParam, LPARAM, LRESULT& result) {
        switch (wParam & 0xFFF0) {
        case IDM_ABOUTBOX: {
            CAboutDlg about(m_hWnd);
            about.DoModal();
            break;
        }
        case IDM_OPENLOGS:
            OpenRecordFolder();
            break;
        default:
            return false;
        }
        result = 0;
        return true;
    });
    RouteMessage(WM_PAINT, [this](WPARAM, LPARAM) { OnPaint(); return LRESULT(0); });
    RouteMessage(WM_QUERYDRAGICON, [this](WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); });
    RouteButton(IDC_BTN_APPLY, [this] { ::OnApplyUpgrade(*this, m_state); });
    RouteButton(IDC_BTN_BROWSE, [this] { ::OnBrowse(*this, m_state); });
    RouteButton(IDC_BTN_CREATE, [this] { ::OnCreateSystem(*this, m_state); });
    for (int slot = 1; slot <= 8; ++slot)
        RouteButton(PlcButtonForSlot(slot), [this, slot] { ::OnUpgradePlc(*this, m_state, slot); });
    // Each command reads the selection itself when it starts.
    RouteCommand(IDC_COMBO_CPU, CBN_SELCHANGE, [] {});
    RouteButton(IDC_BTN_RESTART, [this] { ::OnRestartHost(*this, m_state); });
    RouteMessage(WM_NETSTATUS, [this](WPARAM, LPARAM) { return OnNetStatus(); });
    RouteMessage(WM_TIMER, [this](WPARAM wParam, LPARAM) { OnTimer(wParam); return LRESULT(0); });
    RouteMessage(WM_SIZE, [this](WPARAM, LPARAM) { m_layout.Relayout(); return LRESULT(0); });
    RouteNotify(IDC_IP_TARGET, IPN_FIELDCHANGED, [](NMHDR*) { return LRESULT(0); });
    RouteButton(IDC_BTN_SET_IP, [this] { ::OnSetNewIpAddress(*this, m_state); });
    RouteMessage(WM_DESTROY, [this](WPARAM, LPARAM) {
        m_netStatusWindow.store(nullptr);
        return LRESULT(0);
    });
}

void CBrantelDlg::RouteButton(int controlId, std::function<void()> command)
{
    RouteCommand(controlId, BN_CLICKED, [this, command = std::move(command)] {
        struct Depth {
            int& depth;
            ~Depth() { --depth; }
        } depth{m_commandDepth};
        if (m_commandDepth++ == 0)
            m_hostKeyAnswers.clear();
        command();
    });
}

void CBrantelDlg::DoDataExchange()
{
    m_editFile.AttachDlgItem(IDC_EDIT_FILE, *this);
    m_progress.AttachDlgItem(IDC_PROGRESS, *this);
    m_ipTarget.AttachDlgItem(IDC_IP_TARGET, *this);
    m_btnApply.AttachDlgItem(IDC_BTN_APPLY, *this);
    m_staticStatus.AttachDlgItem(IDC_STATIC_STATUS, *this);
    m_btnCreate.AttachDlgItem(IDC_BTN_CREATE, *this);
    m_btnPlc1.AttachDlgItem(IDC_BTN_PLC1, *this);
    m_btnPlc3.AttachDlgItem(IDC_BTN_PLC3, *this);
    m_btnPlc5.AttachDlgItem(IDC_BTN_PLC5, *this);
    m_btnPlc6.AttachDlgItem(IDC_BTN_PLC6, *this);
    m_btnPlc2.AttachDlgItem(IDC_BTN_PLC2, *this);
    m_btnPlc7.AttachDlgItem(IDC_BTN_PLC7, *this);
    m_btnPlc4.AttachDlgItem(IDC_BTN_PLC4, *this);
    m_btnPlc8.AttachDlgItem(IDC_BTN_PLC8, *this);
    m_comboCpu.AttachDlgItem(IDC_COMBO_CPU, *this);
    m_btnRestart.AttachDlgItem(IDC_BTN_RESTART, *this);
    m_netLamp.SubclassDlgItem(IDC_NET_LAMP, *this);
    m_btnSetIp.AttachDlgItem(IDC_BTN_SET_IP, *this);
    m_ipNew.AttachDlgItem(IDC_IP_NEW, *this);
}

BOOL CBrantelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The model box's items; being sorted, M410 is index 0 and M520 index 1.
    ::SendMessageA(m_comboCpu.m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("CPU-M410"));
    ::SendMessageA(m_comboCpu.m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("CPU-M520"));

    AddEntriesToSystemMenu();
    ShowLogoForScreenDpi();
    m_layout.Init(this);
    m_layout.Relayout();
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    g_hNetCheckDone = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_netStatusWindow.store(m_hWnd);
    StartNetCheck();
    m_comboCpu.SetCurSel(1);
    ::SetTimer(m_hWnd, kClockTimer, 1000, nullptr);
    ::SetTimer(m_hWnd, kAddressTimer, 500, nullptr);
    ::GetCurPath(m_szCurPath, MAX_PATH);
    g_szTargetIp.Set(ReadSavedTargetAddress(m_szCurPath).c_str());
    ShowSavedTargetAddress();
    return TRUE;
}

void CBrantelDlg::AddEntriesToSystemMenu()
{
    AppendSystemMenuEntries(m_hWnd, {{IDM_ABOUTBOX, LoadResourceString(IDS_ABOUTBOX)},
                                     {IDM_OPENLOGS, LoadResourceString(IDS_OPENLOGS)}});
}

void CBrantelDlg::OpenRecordFolder()
{
    // The folder may not exist yet: where no record could be made, or
    // after the engineer deleted it.
    const std::wstring folder = RecordFolder();
    DWORD error = 0;
    if (folder.empty() || !MakeRecordFolder(folder, error))
        return;
    g_sessionRecord.Write("the record folder is opened in Explorer");
    ::ShellExecuteW(m_hWnd, L"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CBrantelDlg::ShowLogoForScreenDpi()
{
    // The template's logo is drawn for 96 DPI; its control grows with the
    // screen's DPI, so the logo must grow with it to stay in proportion.
    const int dpi = ScreenDpi();
    const HWND picture = GetDlgItem(IDC_LOGO);
    const auto original = reinterpret_cast<HBITMAP>(::SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP size{};
    if (dpi <= USER_DEFAULT_SCREEN_DPI || !original || !::GetObjectW(original, sizeof size, &size))
        return;
    m_hLogoForDpi = LoadScaledBitmap(AfxGetResourceHandle(), IDB_LOGO_LARGE,
                                     ::MulDiv(size.bmWidth, dpi, USER_DEFAULT_SCREEN_DPI),
                                     ::MulDiv(size.bmHeight, dpi, USER_DEFAULT_SCREEN_DPI));
    if (!m_hLogoForDpi)
        return;
    // The control gives back the image it loaded from the template, which
    // is now its caller's to free.
    const auto replaced = reinterpret_cast<HBITMAP>(
        ::SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_hLogoForDpi)));
    if (replaced && replaced != m_hLogoForDpi)
        ::DeleteObject(replaced);
}

void CBrantelDlg::StartNetCheck()
{
    m_hNetCheckThread = ::CreateThread(nullptr, 0, NetCheckThread, this, 0, nullptr);
}

void CBrantelDlg::ShowSavedTargetAddress()
{
    char address[CTargetAddress::kCapacity];
    g_szTargetIp.CopyTo(address);
    // The address controls take an address field by field; a saved text
    // that is no dotted address leaves them blank.
    DWORD packed = 0;
    const bool valid = ParseDottedAddress(address, packed);
    for (CIPAddressCtrl* control : {&m_ipNew, &m_ipTarget}) {
        if (valid)
            control->SetAddress(packed);
        else
            control->ClearAddress();
    }
}

void CBrantelDlg::StopNetCheck()
{
    g_bStopNetCheck.store(1);
    if (m_hNetCheckThread) {
        ::WaitForSingleObject(m_hNetCheckThread, INFINITE);
        ::CloseHandle(m_hNetCheckThread);
        m_hNetCheckThread = nullptr;
    }
}

void CBrantelDlg::OnOK()
{
    // Enter in the address or path box would otherwise end the console at
    // once, without saving the address: an engineer who confirms a typed
    // address with Enter expects to keep working. Enter does nothing here;
    // Exit, Escape and the close box end the console.
}

// The Exit button, the Escape key and the close box all arrive here.
void CBrantelDlg::OnCancel() { OnExit(); }

// A command that reaches the console while an operation runs (a message
// sent from elsewhere, or one that a message box open during the operation
// takes from the queue) waits its turn like a queued click.
bool CBrantelDlg::DeferCommand(WPARAM wParam, LPARAM lParam)
{
    if (!m_operationRunning)
        return false;
    m_deferredCommands.emplace_back(wParam, lParam);
    return true;
}

void CBrantelDlg::OnExit()
{
    // Exit may arrive inside a running command, through the one message the
    // dispatcher lets through: that command then ends without starting
    // another operation or showing anything, and the console closes as soon
    // as it has.
    if (m_closing)
        return;
    m_closing = true;
    char szPath[MAX_PATH] = "";
    ::GetCurPath(szPath, MAX_PATH);
    const std::string szBuf = m_ipTarget.GetWindowText();
    SaveTargetAddress(szPath, szBuf.c_str());
    g_sessionRecord.Write("command Exit: target address " + Utf8FromSystemText(szBuf) + " saved");
    g_bStopNetCheck.store(1);
    ::WaitForSingleObject(g_hNetCheckDone, 1000);
    ::KillTimer(m_hWnd, kClockTimer);
    ::KillTimer(m_hWnd, kAddressTimer);
    EndDialog(IDCANCEL);
}

void CBrantelDlg::OnTimer(UINT_PTR timerId)
{
    if (timerId == kClockTimer) {
        char address[CTargetAddress::kCapacity];
        g_szTargetIp.CopyTo(address);
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        if (const std::tm* converted = std::localtime(&now))
            local = *converted;
        m_staticStatus.SetWindowText(FormatStatusLine(local, address).c_str());
    } else if (timerId == kAddressTimer) {
        char address[CTargetAddress::kCapacity];
        m_ipTarget.GetWindowText(address, sizeof address);
        g_szTargetIp.Set(address);
    }
}

LRESULT CBrantelDlg::OnNetStatus()
{
    const int reachable = g_bNetOk.load() == 1 ? 1 : 0;
    m_netLamp.SetBackColor(reachable ? kLampReachable : kLampUnreachable);
    if (reachable != m_lampShown) {
        m_lampShown = reachable;
        char address[CTargetAddress::kCapacity];
        g_szTargetIp.CopyTo(address);
        g_sessionRecord.Write(std::string(reachable ? "lamp green: reachable " : "lamp red: unreachable ") +
                              Utf8FromSystemText(address));
    }
    return 1;
}

void CBrantelDlg::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (::IsIconic(m_hWnd)) {
        ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        ::DrawIcon(dc, x, y, m_hIcon);
    }
    ::EndPaint(m_hWnd, &ps);
}
