// Resource and control ids shared by the resource script and the windows.
#pragma once

// Icon, menu, accelerators and the caption string of the main frame.
#define IDR_MAINFRAME 128
// The result list's mark images: six 16 x 16 pictures, pure red transparent.
#define IDB_MARKS 351

// Translation editor: dialog template 302 and its controls.
#define IDD_TRANSLATE 302
#define IDC_TR_PATH 1002
#define IDC_TR_SOURCE_TEXT 1003
#define IDC_TR_TRANSLATION 1004
#define IDC_TR_REVISION 1006
#define IDC_TR_LIST 1012
#define IDC_TR_SAVE 1017
#define IDC_TR_LOAD 1018
#define IDC_TR_SAVE_AS 1019
#define IDC_TR_NEXT_UNTRANSLATED 1031
#define IDC_TR_SOURCE_LANGUAGE 1071
#define IDC_TR_CHECKING 5005
