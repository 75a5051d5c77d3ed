/* The program's resource ids and the texts that the resource script and the
   C++ resource table share. Read by windres as well as by the compiler, so it
   holds preprocessor definitions only. */
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_QUOTAMIN_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_ADMIN_DIALOG 129
#define IDD_CHANGE_PASSWORD_DIALOG 134
#define IDB_BACKGROUND 143

/* Main window (template 102). */
#define IDC_LOGIN 1006
#define IDC_CLOSE 1007
#define IDC_PASSWORD 1009
#define IDC_STATUS 1034

/* Administration dialog (template 129). */
#define IDC_LOGOFF_RADIO 1001
#define IDC_SHUTDOWN_RADIO 1002
#define IDC_MINUTES_ALLOWED 1003
#define IDC_MINUTES_REMAINING 1004
#define IDC_ENABLE_CHECK 1005
#define IDC_SHUTDOWN_PROGRAM 1006
#define IDC_CHANGE_PASSWORD 1010
#define IDC_USER_NAME 1028

/* Change-password dialog (template 134). */
#define IDC_OLD_PASSWORD 1024
#define IDC_NEW_PASSWORD 1025
#define IDC_REPEAT_PASSWORD 1026

/* The system-menu entry that opens the about box. */
#define IDM_ABOUTBOX 16
#define QUOTAMIN_ABOUT_MENU_TEXT "&About Quotamin..."

#define QUOTAMIN_SUPPORT_TEXT \
    "For customer support, please email quotamin@example.org or visit www.example.org"
