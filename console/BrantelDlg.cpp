#include "BrantelDlg.h"

#include "resource.h"

CBrantelDlg::CBrantelDlg(HWND parent) : CDialog(IDD_BRANTEL_DIALOG, parent) {}

void CBrantelDlg::StopNetCheck() {}
