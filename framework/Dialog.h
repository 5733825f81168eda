#pragma once
// Modal dialog bound to a dialog template, with a routing table that sends a
// window message, or a control's command or notification, to a handler.
#include "Window.h"

#include <functional>
#include <vector>

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    ~CDialog() override;

    // Runs the dialog; returns the value given to EndDialog, or -1 when the
    // dialog cannot be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

protected:
    // Binds the control members to their controls; called by OnInitDialog.
    virtual void DoDataExchange() {}
    // Returning TRUE lets the system give the focus to the first tab stop.
    virtual BOOL OnInitDialog();
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Returning true keeps a WM_COMMAND from its handler, for a dialog that
    // cannot take commands at the moment and handles them later.
    virtual bool DeferCommand(WPARAM, LPARAM) { return false; }

    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;
    using NotifyHandler = std::function<LRESULT(NMHDR*)>;

    // Routing table entries, registered by the derived class's constructor.
    void RouteMessage(UINT message, MessageHandler handler);
    // A handler that may leave the message to the system's default handling:
    // it returns false for that, or true with `result` set.
    using OptionalHandler = std::function<bool(WPARAM, LPARAM, LRESULT& result)>;
    void RouteMessageOrDefault(UINT message, OptionalHandler handler);
    void RouteCommand(UINT id, UINT code, std::function<void()> handler);
    void RouteNotify(UINT id, UINT code, NotifyHandler handler);

    UINT TemplateId() const { return m_templateId; }

private:
    struct Route {
        UINT message;  // WM_COMMAND and WM_NOTIFY entries match id and code too
        UINT id;
        UINT code;
        OptionalHandler onMessage;
        NotifyHandler onNotify;
    };

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    const Route* FindRoute(UINT message, WPARAM wParam, LPARAM lParam) const;
    static INT_PTR CALLBACK StaticDialogProc(HWND, UINT, WPARAM, LPARAM);

    UINT m_templateId;
    HWND m_parent;
    std::vector<Route> m_routes;
};
