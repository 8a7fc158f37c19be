// Resource identifiers of the program, shared by the code and chronoshift.rc.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDR_MAINFRAME 128
#define IDC_HAND_CURSOR 135

#define IDC_STATUS 1000
#define IDC_KEEP_ON_TOP 1001
#define IDC_INTRO 1002
#define IDC_DATE_TO_CHANGE 1003
#define IDC_PROCESS_SUBFOLDERS 1004
#define IDC_UNDO 1005

// System-menu command of the about box (the low four bits stay clear).
#define IDM_ABOUTBOX 0x0010

#define WM_APP_COMMAND_SHOW_LOG (WM_APP + 100)

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
