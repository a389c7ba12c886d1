// Resource and control identifiers of the bridge program.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates
#define IDD_ABOUTBOX                 100
#define IDD_PORT_SETTINGS            102
#define IDD_CLSERDUNMERE_DIALOG      132
#define IDD_VIRTUAL_COM_PORT         142
#define IDD_MESSAGE                  148

// Strings
#define IDS_ABOUTBOX                 101

// Icons
#define IDR_MAINFRAME                128
#define IDI_CONNECTED                146
#define IDI_NOT_CONNECTED            147

// Menus
#define IDR_MAIN_MENU                129
#define IDR_TRAY_MENU                137

// Port settings dialog
#define IDC_PARITY                   1018
#define IDC_STOP_BITS                1019
#define IDC_DATA_BITS                1020
#define IDC_CL_BAUD_RATE             1022
#define IDC_COM_BAUD_RATE            1023
#define IDC_COM_PORT                 1026
#define IDC_CL_PORT                  1027
#define IDC_SHOW_PHYSICAL_PORTS      1031
#define IDC_LOW_LATENCY              1041

// Main dialog
#define IDC_TRACE_LIST               1030

// Virtual COM port dialog
#define IDC_VCOM_PORTS               1032
#define IDC_VCOM_REMOVE              1033
#define IDC_VCOM_NUMBER              1034
#define IDC_VCOM_INSTALL             1035

// Progress dialog
#define IDC_MESSAGE_TEXT             1036

// About dialog
#define IDC_ABOUT_VERSION            1037
#define IDC_ABOUT_COPYRIGHT          1038
#define IDC_ABOUT_DESCRIPTION        1039
#define IDC_ABOUT_COM0COM            1040

// Menu commands of the menu bar
#define ID_PORT_SETTINGS             32777
#define ID_ECHO                      32778
#define ID_CONNECT                   32784
#define ID_DISCONNECT                32785
#define ID_EXIT                      32786
#define ID_CLEAR_ECHO                32787
#define ID_VIRTUAL_COM_PORTS         32808
#define ID_ABOUT                     32810

// Menu commands of the tray menu
#define ID_TRAY_SHOW                 32791
#define ID_TRAY_PORT_SETTINGS        32792
#define ID_TRAY_CONNECT              32794
#define ID_TRAY_DISCONNECT           32795
#define ID_TRAY_EXIT                 32796
#define ID_TRAY_ECHO                 32798
#define ID_TRAY_CLEAR_ECHO           32802
#define ID_TRAY_VIRTUAL_COM_PORTS    32809

// System menu item that opens the about dialog
#define IDM_ABOUTBOX                 0x0010

// Window messages of the main dialog
#define WM_TRAY_NOTIFY               0x800A  // WM_APP + 10: the tray icon's callback
#define WM_TRACE_LINE                0x800B  // WM_APP + 11: a trace line from the transfer thread
