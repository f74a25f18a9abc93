#pragma once
// Resource and control ids shared by the windows and uninst.rc (which spells them as numbers).

constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_UNINST_DIALOG = 102;
constexpr int IDD_PROGRESS = 106;
constexpr int IDR_MAINFRAME = 128;

constexpr int IDC_MESSAGE = 1000;
constexpr int IDC_SUBTITLE = 1001;
constexpr int IDC_TITLE = 1002;

constexpr int IDC_ABOUT_VERSION = 1003;
constexpr int IDC_ABOUT_COPYRIGHT = 1004;

constexpr int IDC_PROGRESS_BAR = 1000;
constexpr int IDC_PROGRESS_STATUS = 1001;

constexpr unsigned IDM_ABOUTBOX = 0x0010;

// The progress window's two private WM_COMMAND ids; lParam points to the new text.
constexpr unsigned ID_PROGRESS_STATUS = 0x1234;
constexpr unsigned ID_PROGRESS_PERCENT = 0x4321;
