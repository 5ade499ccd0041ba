// Resource and control ids shared by the resource script and the windows.
#pragma once

// Icon, menu, accelerators and the caption string of the main frame.
#define IDR_MAINFRAME 128
// The result list's mark images: six 16 x 16 pictures, pure red transparent.
#define IDB_MARKS 351

// Commands of the main frame (menu and accelerator table IDR_MAINFRAME).
#define ID_TOOLS_MAGNIFIER 32815
#define ID_FILE_EXPORT 32816
#define ID_TRANSLATE_EDITOR 32990
#define ID_START_MODE_DEFAULT 32945     // start mode 0
#define ID_START_MODE_MAXIMIZED 32946   // 1
#define ID_START_MODE_LAST_PLACE 32947  // 2
#define ID_START_MODE_AS_CLOSED 32948   // 3
#define ID_CLOSE_ASK 45853
#define ID_LANGUAGE_FIRST 43900  // + language id (0 German, 1 English, ...)
#define ID_LANGUAGE_LAST 43944
#define ID_RESTORE_PLACEMENT 44444  // posted by the frame to itself once it is created
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_HELP 57670

// Dialogs of the application shell and their controls.
#define IDD_CLOSE_ASK 360
#define IDC_CLOSE_ASK_ICON 1001
#define IDC_CLOSE_ASK_TEXT 1002
#define IDD_ABOUT 361
#define IDC_ABOUT_ICON 1001
#define IDC_ABOUT_NAME 1002
#define IDC_ABOUT_TEXT 1003
#define IDD_PLACEHOLDER_VIEW 362
#define IDC_PLACEHOLDER_TEXT 1001
#define IDC_PLACEHOLDER_FOLDER 1002

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
