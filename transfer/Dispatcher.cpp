#include "Dispatcher.h"

#include "MessageBox.h"
#include "NetState.h"

#include <cstring>

namespace {

bool IsDialogWindow(HWND hwnd)
{
    char className[8] = "";
    return ::GetClassNameA(hwnd, className, sizeof className) && std::strcmp(className, "#32770") == 0;
}

// One message, never a loop; a quit message taken here is consumed. A key
// for the console is translated as the dialog's own loop would, so that
// Escape, Tab and Enter on a button mean the same during a command.
void LetOneMessageThrough()
{
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0)
        return;
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && IsDialogWindow(root) && ::IsDialogMessageA(root, &msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

}  // namespace

RemoteOutcome DispatchRemoteOperation(const RemoteRequest& request, RemoteRoutes& routes)
{
    RemoteOutcome outcome;
    if (routes.Closing())
        return outcome;
    if (g_bNetOk.load(std::memory_order_relaxed) != 1) {
        AfxMessageBox("网络似乎不通!");
        outcome.result = -1;
        outcome.refusedUnreachable = true;
        return outcome;
    }
    if (request.route == kRouteFtp)
        outcome.result = routes.Ftp(request);
    else if (request.route == kRouteSftp)
        outcome.result = routes.Sftp(request);

    // A console that began to close during the operation has nothing left
    // to post: waiting for a message then would never end.
    if (!routes.Closing())
        LetOneMessageThrough();
    return outcome;
}
