// Resource identifiers of Brantel.exe.
#pragma once

#define IDD_ABOUTBOX            100
#define IDS_ABOUTBOX            101
#define IDD_BRANTEL_DIALOG      102
#define IDP_SOCKETS_INIT_FAILED 103
#define IDR_MAINFRAME           128
#define IDB_LOGO                134
// The logo three times as large, shrunk to the screen's DPI above 96.
#define IDB_LOGO_LARGE          135

#define IDS_OPENLOGS            104

#define IDM_ABOUTBOX            16
#define IDM_OPENLOGS            32
#define IDC_STATIC              -1

// Controls of the console dialog.
#define IDC_BTN_APPLY           1000
#define IDC_EDIT_FILE           1001
#define IDC_BTN_BROWSE          1002
#define IDC_PROGRESS            1003
#define IDC_IP_TARGET           1004
#define IDC_STATIC_STATUS       1005
#define IDC_BTN_CREATE          1006
#define IDC_IP_NEW              1007
#define IDC_LOGO                1008
#define IDC_BTN_PLC6            1009
#define IDC_BTN_PLC1            1010
#define IDC_BTN_PLC3            1011
#define IDC_BTN_PLC4            1012
#define IDC_BTN_PLC5            1013
#define IDC_BTN_PLC2            1014
#define IDC_BTN_PLC7            1015
#define IDC_BTN_PLC8            1016
#define IDC_COMBO_CPU           1017
#define IDC_BTN_RESTART         1018
#define IDC_NET_LAMP            1019
#define IDC_BTN_SET_IP          1020
