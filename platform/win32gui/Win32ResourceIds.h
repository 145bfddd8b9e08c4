// The numbers of the Windows realisation's own resources. Plain #defines
// only: the resource compiler reads this file too.
#pragma once

// The list of choices: a heading, the list and the buttons "Go to Line"
// (IDOK) and "Close" (IDCANCEL).
#define IDD_CHOICE_LIST 103
#define IDC_CHOICE_HEADING 1101
#define IDC_CHOICE_ITEMS 1102
