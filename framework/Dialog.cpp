#include "Dialog.h"

#include "Resources.h"

#include <olectl.h>

namespace {
// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message)
{
    switch (message) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: case WM_COMPAREITEM: case WM_VKEYTOITEM:
    case WM_CHARTOITEM: case WM_QUERYDRAGICON: case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

bool IsColourRequest(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}
}  // namespace

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog()
{
    // A dialog object that outlives its window must not be reached through it.
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
}

INT_PTR CDialog::DoModal()
{
    // Created wide, the dialog and its controls keep the template's UTF-16
    // texts as they are; an ANSI dialog would take them through the system's
    // code page, and on a Windows whose code page is not 936 every Chinese
    // caption would become question marks.
    return ::DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_templateId), m_parent,
                             StaticDialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }

BOOL CDialog::OnInitDialog()
{
    DoDataExchange();
    return TRUE;
}

void CDialog::RouteMessage(UINT message, MessageHandler handler)
{
    RouteMessageOrDefault(message, [h = std::move(handler)](WPARAM wParam, LPARAM lParam, LRESULT& result) {
        result = h(wParam, lParam);
        return true;
    });
}

void CDialog::RouteMessageOrDefault(UINT message, OptionalHandler handler)
{
    m_routes.push_back({message, 0, 0, std::move(handler), nullptr});
}

void CDialog::RouteCommand(UINT id, UINT code, std::function<void()> handler)
{
    m_routes.push_back({WM_COMMAND, id, code,
                        [h = std::move(handler)](WPARAM, LPARAM, LRESULT& result) {
                            h();
                            result = 0;
                            return true;
                        },
                        nullptr});
}

void CDialog::RouteNotify(UINT id, UINT code, NotifyHandler handler)
{
    m_routes.push_back({WM_NOTIFY, id, code, nullptr, std::move(handler)});
}

const CDialog::Route* CDialog::FindRoute(UINT message, WPARAM wParam, LPARAM lParam) const
{
    for (const Route& route : m_routes) {
        if (route.message != message)
            continue;
        if (message == WM_COMMAND &&
            (route.id != LOWORD(wParam) || route.code != HIWORD(wParam)))
            continue;
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (route.id != header->idFrom || route.code != header->code)
                continue;
        }
        return &route;
    }
    return nullptr;
}

INT_PTR CDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && DeferCommand(wParam, lParam))
        return TRUE;
    if (const Route* route = FindRoute(message, wParam, lParam)) {
        LRESULT result = 0;
        if (route->onNotify)
            result = route->onNotify(reinterpret_cast<NMHDR*>(lParam));
        else if (!route->onMessage(wParam, lParam, result))
            return FALSE;
        if (ReturnsDirectly(message))
            return static_cast<INT_PTR>(result);
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    // Buttons, the Enter and Escape keys and the close box arrive as
    // BN_CLICKED commands of IDOK and IDCANCEL.
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) { OnOK(); return TRUE; }
        if (LOWORD(wParam) == IDCANCEL) { OnCancel(); return TRUE; }
    }
    if (IsColourRequest(message)) {
        // Reflect the colour request to a control that paints itself.
        if (CWnd* child = CWnd::FromSubclassed(reinterpret_cast<HWND>(lParam)))
            if (const LRESULT brush = ::SendMessageA(child->m_hWnd, OCM__BASE + message, wParam, lParam))
                return static_cast<INT_PTR>(brush);
    }
    return FALSE;
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        self->m_hWnd = hwnd;
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!self)
        return FALSE;
    // No exception may unwind through the system's dialog manager.
    try {
        if (message == WM_INITDIALOG)
            return self->OnInitDialog();
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
            self->m_hWnd = nullptr;
            return FALSE;
        }
        return self->DialogProc(message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}
