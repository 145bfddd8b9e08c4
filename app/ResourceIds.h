// The numbers of the program's resources, controls and commands. Plain
// #defines only: the resource compiler reads this file too.
#pragma once

#define IDD_SFX_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_MENU 129

// Controls of template 102. IDC_APPLY is also the dialog's default command
// (kAnswerOk).
#define IDC_APPLY 1
#define IDC_STATUS 1001
#define IDC_EDITOR 1002
#define IDC_TITLE 1009
#define IDC_README 1010
#define IDC_PROGRESS 1011
#define IDC_SEPARATOR 1012
#define IDC_TITLE_RULE 1014

// Commands of menu 129, and the system menu's About item.
#define ID_FILE_CREATE_ARCHIVE 130
#define ID_ARCHIVE_ADD_FILE 131
#define ID_FILE_SAVE 132
#define ID_FILE_EXIT 135
#define ID_FILE_SAVE_AS 136
#define ID_FILE_LOAD 137
#define ID_FILE_CLOSE 138
#define ID_ARCHIVE_CHECK 139
#define IDM_ABOUTBOX 16
