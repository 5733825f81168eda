#include "Dispatcher.h"

#include "MessageBox.h"
#include "NetState.h"

int DispatchRemoteOperation(const RemoteRequest& request, RemoteRoutes& routes)
{
    int result = 0;
    if (g_bNetOk.load(std::memory_order_relaxed) != 1) {
        AfxMessageBox("网络似乎不通!");
        return -1;
    }
    if (request.route == kRouteFtp)
        result = routes.Ftp(request);
    else if (request.route == kRouteSftp)
        result = routes.Sftp(request);

    // One message, never a loop; a quit message taken here is consumed.
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return result;
}
