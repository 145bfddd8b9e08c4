// The program's resources: dialog template 102 with its controls, menu 129,
// and the numbers of controls and commands.
#pragma once

#include "platform/Dialog.h"

enum : int {
    IDD_SFX_DIALOG = 102,
    IDR_MAINFRAME = 128,
    IDR_MENU = 129,
};

// Controls of template 102.
enum : int {
    IDC_APPLY = 1, // also the dialog's default command (kAnswerOk)
    IDC_STATUS = 1001,
    IDC_EDITOR = 1002,
    IDC_TITLE = 1009,
    IDC_README = 1010,
    IDC_PROGRESS = 1011,
    IDC_SEPARATOR = 1012,
    IDC_TITLE_RULE = 1014,
};

// Commands of menu 129, and the system menu's About item.
enum : int {
    ID_FILE_CREATE_ARCHIVE = 130,
    ID_ARCHIVE_ADD_FILE = 131,
    ID_FILE_SAVE = 132,
    ID_FILE_EXIT = 135,
    ID_FILE_SAVE_AS = 136,
    ID_FILE_LOAD = 137,
    ID_FILE_CLOSE = 138,
    ID_ARCHIVE_CHECK = 139,
    IDM_ABOUTBOX = 16,
};

const DialogTemplate& SfxDialogTemplate();
const MenuTemplate& SfxMenu();
