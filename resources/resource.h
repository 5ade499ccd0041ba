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

// The compare window: dialog template 347 and its controls.
#define IDD_COMPARE 347
#define IDC_PREVIEW_LEFT 1000   // hosts of the preview panes
#define IDC_PREVIEW_RIGHT 1001
#define IDC_CAPTION_LEFT 1002   // the run's detail line; the left picture's path
#define IDC_CAPTION_RIGHT 1003  // the run's statistics line
#define IDC_STATUS_LINE 1004
#define IDC_PAIR_INFO 1005
#define IDC_START_HIDDEN 1011  // a second Start/Stop, created hidden
#define IDC_RESULT_LIST 1012
#define IDC_SPARE_LIST 1013  // hidden, no role
#define IDC_CHOOSE_RIGHT 1014
#define IDC_PROGRESS 1015
#define IDC_START_STOP 1016
#define IDC_CHOOSE_LEFT 1017
#define IDC_ADD_LEFT 1018
#define IDC_ADD_RIGHT 1019
#define IDC_BACK_HIDDEN 1031  // "<", hidden, no role
#define IDC_FIELD_LEFT 1053   // folder field, two-folder mode only
#define IDC_FIELD_RIGHT 1054
#define IDC_SPARE_1252 1252  // hidden, no role
#define IDC_SPARE_1253 1253
#define IDC_INFO_LEFT 6001
#define IDC_INFO_RIGHT 6002
