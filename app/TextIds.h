// The ids of the interface texts (LangText). The wording lives in the
// language packs resources/lang/*.txt; every id here must have a text in the
// English and the German pack (tests/check-text-ids.py sees to it).
#pragma once

namespace app {

// Main frame: menus (item texts of menu 128 are these numbers) and title.
inline constexpr int kTextMenuFile = 10000;
inline constexpr int kTextMenuExport = 10005;     // command 32816
inline constexpr int kTextMenuExit = 10006;       // command 57665
inline constexpr int kTextMenuLanguage = 10900;   // the language sub-menu
inline constexpr int kTextMenuTranslate = 10910;  // opens the translation editor
inline constexpr int kTextMenuEdit = 20000;
inline constexpr int kTextInvertMarks = 20003;  // also the result list's menu, cut before a TAB
inline constexpr int kTextMenuView = 30000;
inline constexpr int kTextMenuTools = 40000;
inline constexpr int kTextMenuMagnifier = 40001;  // command 32815, Alt+L
inline constexpr int kTextMenuOptions = 50000;
inline constexpr int kTextMenuStartMode = 51000;       // the options sub-menu
inline constexpr int kTextStartModeDefault = 51001;    // command 32945
inline constexpr int kTextStartModeMaximized = 51002;  // command 32946
inline constexpr int kTextStartModeLastPlace = 51003;  // command 32947
inline constexpr int kTextStartModeAsClosed = 51004;   // command 32948
inline constexpr int kTextAskBeforeClosing = 51011;    // command 45853
inline constexpr int kTextCloseQuestion = 51012;       // the close confirmation
inline constexpr int kTextCloseConfirm = 51013;        // its button that closes
inline constexpr int kTextCancel = 51014;              // and the one that does not
inline constexpr int kTextMenuHelp = 60000;
inline constexpr int kTextMenuHelpTopics = 60001;  // command 57670, F1
inline constexpr int kTextMenuAbout = 60002;
inline constexpr int kTextAboutLine = 60003;  // the about box, under name and version
inline constexpr int kTextPortable = 39;      // in the title of a portable copy

// Compare window: buttons, toolbars and option menus.
inline constexpr int kTextStop = 170;               // Start/Stop button while a run goes
inline constexpr int kTextStartSearch = 300338;     // Start/Stop button while idle
inline constexpr int kTextDelete = 57014;           // preview toolbars, result list menu
inline constexpr int kTextOpen = 1022;              // preview toolbars
inline constexpr int kTextShowInExplorer = 1016;    // preview toolbars
inline constexpr int kTextMagnifierButton = 60008;  // search bar, a command of the frame
inline constexpr int kTextSimilarity = 300102;      // threshold label, list column, found pairs
inline constexpr int kTextAlsoFind = 300107;        // title of the rotated/mirrored/negative menus
inline constexpr int kTextRotated = 300108;
inline constexpr int kTextMirrored = 300109;
inline constexpr int kTextNegative = 300110;
inline constexpr int kTextYes = 300201;
inline constexpr int kTextNo = 300202;
inline constexpr int kTextMirrorVertical = 300203;    // mirror kind 2
inline constexpr int kTextMirrorHorizontal = 300204;  // mirror kind 1
inline constexpr int kTextFingerprintFrom = 300301;   // + rule 1..3 gives the rule's text
inline constexpr int kTextRuleShellThumbnail = 300302;
inline constexpr int kTextRuleEmbeddedThumbnail = 300303;
inline constexpr int kTextRuleWholePicture = 300304;
inline constexpr int kTextOneFolder = 300311;  // + compare mode 0, 1
inline constexpr int kTextTwoFolders = 300312;
inline constexpr int kTextPreviewPicture = 300321;  // + preview mode 0..2
inline constexpr int kTextFileBrowser = 300322;     // also view mode 1
inline constexpr int kTextPreviewAndBrowser = 300323;
inline constexpr int kTextResultList = 300324;  // view mode 0
inline constexpr int kTextSubfolders = 300370;

// Field warnings.
inline constexpr int kTextBalloonTitle = 24;  // when the balloon is made
inline constexpr int kTextCheckEntry = 52;    // balloon title when shown
inline constexpr int kTextFieldHint = 60006;  // second text of every field warning
inline constexpr int kTextBadPath = 300000;   // followed by a line break and the path

// Search run: status, detail and statistics lines.
inline constexpr int kTextStatusReady = 300340;
inline constexpr int kTextPleaseWait = 300001;
inline constexpr int kTextMakingFingerprints = 300002;
inline constexpr int kTextCollectingFiles = 300003;
inline constexpr int kTextNoPictures = 300339;
inline constexpr int kTextRemaining = 300336;     // replaces "Remain"
inline constexpr int kTextPerSecond = 300331;     // replaces "/ sec"
inline constexpr int kTextTime = 300334;          // replaces "Time" and "time:"
inline constexpr int kTextPictures = 300330;      // replaces "IST"
inline constexpr int kTextSpared = 300332;        // replaces "Unnecessary comparisons"
inline constexpr int kTextSimilarFound = 300337;  // replaces "Ähnliche:"
inline constexpr int kTextComparisons = 300333;
inline constexpr int kTextTotalTime = 300335;  // replaces "Time-Total"

// Result list: column titles (" (1)" and " (2)" are added).
inline constexpr int kTextColumnFile = 2006;
inline constexpr int kTextColumnSize = 2001;  // picture size and file size
inline constexpr int kTextColumnBrightness = 300105;

// Result list: context menu.
inline constexpr int kTextListOptions = 58;
inline constexpr int kTextShowRowButtons = 300353;  // command 46002
inline constexpr int kTextArrowKeysMark = 283;      // command 46075, with kTextArrowKeysWhich
inline constexpr int kTextArrowKeysWhich = 300355;
inline constexpr int kTextCopyMarked = 16;      // command 1
inline constexpr int kTextMoveMarked = 17;      // command 2
inline constexpr int kTextRecycleBin = 300354;  // command 3, after kTextDelete
inline constexpr int kTextRemoveRows = 300363;
inline constexpr int kTextRemoveSelected = 300364;     // command 45998
inline constexpr int kTextRemoveMarked = 300365;       // command 45999
inline constexpr int kTextRemoveUnmarked = 300366;     // command 46000
inline constexpr int kTextCopyOverPartner = 300350;    // command 57641
inline constexpr int kTextMarkAutomatically = 300351;  // command 5
inline constexpr int kTextSwapMarks = 300352;          // command 45997

// Translation editor.
inline constexpr int kTextCheckingMode = 176;
inline constexpr int kTextColumnTextId = 177;
inline constexpr int kTextColumnSourceText = 178;
inline constexpr int kTextColumnTranslation = 179;
inline constexpr int kTextCannotWrite = 180;  // followed by a line break and the path
inline constexpr int kTextCannotRead = 181;   // followed by a line break and the path
inline constexpr int kTextCopySavedAt = 182;  // followed by a line break and the copy's path

}  // namespace app
