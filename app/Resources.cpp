#include "app/Resources.h"

const DialogTemplate& SfxDialogTemplate()
{
    // Positions in dialog units, in template order (which is also the order
    // of the controls on screen and for the keyboard).
    static const DialogTemplate dialog{
        "Title Goes Here",
        370,
        290,
        {
            {IDC_APPLY, DialogItemKind::PushButton, "&Apply", 126, 106, 50, 16, true},
            {IDC_STATUS, DialogItemKind::SunkenLabel, "", 7, 262, 356, 12, true},
            {IDC_TITLE_RULE, DialogItemKind::WhiteRect, "", 1, 29, 362, 1, true},
            {IDC_README, DialogItemKind::ReadOnlyEdit, "", 7, 36, 56, 67, true},
            {IDC_TITLE, DialogItemKind::Label, "Static", 7, 0, 342, 29, true},
            {IDC_SEPARATOR, DialogItemKind::EtchedLine, "", 2, 104, 361, 1, true},
            {IDC_PROGRESS, DialogItemKind::ProgressBar, "", 6, 107, 111, 13, false},
            {IDC_EDITOR, DialogItemKind::RichEdit, "", 6, 7, 357, 248, true},
        },
    };
    return dialog;
}

const MenuTemplate& SfxMenu()
{
    // The file commands have the keys editors use for them.
    static const MenuTemplate menu{
        {"&File",
         {
             {ID_FILE_CREATE_ARCHIVE, "&Create New Archive", 'b'},
             {0, ""},
             {ID_FILE_SAVE, "Save Script File", 's'},
             {ID_FILE_SAVE_AS, "Save Script File As...", 's', true},
             {ID_FILE_LOAD, "Load Script File...", 'o'},
             {0, ""},
             {ID_FILE_CLOSE, "Close Script File"},
             {0, ""},
             {ID_FILE_EXIT, "&Exit"},
         }},
        {"&Archive",
         {
             {ID_ARCHIVE_ADD_FILE, "&Add File To Put in Archive..."},
             {ID_ARCHIVE_CHECK, "Chec&k Script", 'k'},
         }},
    };
    return menu;
}
