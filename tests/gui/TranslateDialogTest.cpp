// The translation editor driven through its controls, with the settings in a
// temporary folder and stand-ins for the file dialogs and message boxes.
#include <windows.h>
// The controls' macros need the system types first.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/CTranslateDlg.h"
#include "app/LangText.h"
#include "app/LanguagePack.h"
#include "app/MyProfStr.h"
#include "app/TextIds.h"
#include "platform/FileSystem.h"
#include "platform/Handles_win.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "tests/gui/MessagePump.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"

namespace {

using app::CTranslateDlg;

struct Question {
  std::wstring text;
  UINT type;
};

class TranslateDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring program = temp.MakeFolder(L"program");
    platform::WriteFileBytes(program + L"\\Duplora.ini", "");
    app::Settings().Init(program + L"\\Duplora.exe", temp.MakeFolder(L"appdata"));
    tempCopies = temp.MakeFolder(L"tmp");
    app::SetCurrentLanguage(app::kLanguageEnglish);
    app::ReloadTexts();
    app::SetLanguageChangedHandler([this](int) { ++retranslations; });
  }

  void TearDown() override {
    dialog.reset();
    app::SetCheckingMode(false);
    app::SetCurrentLanguage(app::kLanguageEnglish);
    app::ReloadTexts();
    app::SetLanguageChangedHandler(nullptr);
  }

  void Open() {
    CTranslateDlg::Services services;
    services.chooseFile = [this](HWND, bool forSaving, const std::wstring&) {
      fileChoices.push_back(forSaving);
      return chosenFile;
    };
    services.messageBox = [this](HWND, const std::wstring& text, UINT type) {
      questions.push_back({text, type});
      return answer;
    };
    services.tempFolder = tempCopies;
    dialog = std::make_unique<CTranslateDlg>(services);
    ASSERT_TRUE(dialog->Show(nullptr));
    list = dialog->Item(IDC_TR_LIST);
  }

  void Click(int id) { ::SendMessageW(dialog->Item(id), BM_CLICK, 0, 0); }
  bool Visible() const { return ::IsWindowVisible(dialog->hwnd()) != FALSE; }
  bool Checked() const { return ::IsDlgButtonChecked(dialog->hwnd(), IDC_TR_CHECKING) != 0; }

  std::wstring Cell(int row, int column) const {
    wchar_t buffer[1024] = {};
    ListView_GetItemText(list, row, column, buffer, 1024);
    return buffer;
  }
  int RowOf(int textId) const {
    for (int row = 0, count = ListView_GetItemCount(list); row < count; ++row) {
      if (Cell(row, CTranslateDlg::kColumnId) == std::to_wstring(textId)) return row;
    }
    return -1;
  }
  int Selected() const { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }
  void Select(int row) const {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  std::wstring Text(int id) const {
    wchar_t buffer[4096] = {};
    ::GetDlgItemTextW(dialog->hwnd(), id, buffer, 4096);
    return buffer;
  }
  // As typing does: a multi-line edit reports no change for WM_SETTEXT.
  void Type(int id, const wchar_t* text) const {
    ::SendDlgItemMessageW(dialog->hwnd(), id, EM_SETSEL, 0, -1);
    ::SendDlgItemMessageW(dialog->hwnd(), id, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  }
  // Selects the row of a text id and types its translation into edit 1004.
  void Translate(int textId, const wchar_t* text) const {
    const int row = RowOf(textId);
    ASSERT_GE(row, 0) << textId;
    Select(row);
    Type(IDC_TR_TRANSLATION, text);
  }
  std::wstring StoredFile() const { return app::Settings().ReadString(L"Translate", L"File", L""); }

  testsupport::TempFolder temp;
  std::wstring tempCopies;
  std::unique_ptr<CTranslateDlg> dialog;
  HWND list = nullptr;
  int retranslations = 0;
  std::optional<std::wstring> chosenFile;
  std::vector<bool> fileChoices;
  int answer = IDCANCEL;
  std::vector<Question> questions;
};

TEST_F(TranslateDialogTest, OpensWithTheSourceTextsAndItsControls) {
  Open();
  wchar_t title[256] = {};
  ::GetWindowTextW(dialog->hwnd(), title, 256);
  EXPECT_STREQ(title,
               L"Help Translate  1.02 Beta Version / 4 correct interpretation of characters "
               L"please use Tessera Unicode or x64");
  EXPECT_EQ(Text(IDC_TR_CHECKING), app::LangText(app::kTextCheckingMode));
  EXPECT_EQ(::SendDlgItemMessageW(dialog->hwnd(), IDC_TR_SOURCE_LANGUAGE, CB_GETCOUNT, 0, 0), 3);

  app::TextTable english;
  app::ParsePackText(*app::LoadPackText(L"EN"), english, false);
  EXPECT_EQ(static_cast<size_t>(ListView_GetItemCount(list)), english.size());
  const int stop = RowOf(app::kTextStop);
  ASSERT_GE(stop, 0);
  EXPECT_EQ(Cell(stop, CTranslateDlg::kColumnSource), L"Stop");
  EXPECT_EQ(Cell(stop, CTranslateDlg::kColumnTranslation), L"");
  const DWORD styles = ListView_GetExtendedListViewStyle(list);
  EXPECT_TRUE(styles & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(styles & LVS_EX_GRIDLINES);
  EXPECT_TRUE(::GetWindowLongW(list, GWL_STYLE) & LVS_EDITLABELS);

  // A TAB in a source text shows as the two characters \t.
  const int magnifier = RowOf(app::kTextMenuMagnifier);
  Select(magnifier);
  EXPECT_EQ(Text(IDC_TR_SOURCE_TEXT), L"&Magnifier\\tAlt+L");
  EXPECT_TRUE(questions.empty());
}

TEST_F(TranslateDialogTest, SourceLanguageFillsTheSourceColumnAndKeepsTranslations) {
  Open();
  Translate(app::kTextStop, L"Arrêt");
  struct Case {
    int index;
    const wchar_t* source;
  };
  for (const Case& c : {Case{1, L"Stopp"}, Case{2, L"Stop"}, Case{0, L"Stop"}}) {
    ::SendDlgItemMessageW(dialog->hwnd(), IDC_TR_SOURCE_LANGUAGE, CB_SETCURSEL, c.index, 0);
    ::SendMessageW(dialog->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TR_SOURCE_LANGUAGE, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(dialog->Item(IDC_TR_SOURCE_LANGUAGE)));
    const int row = RowOf(app::kTextStop);
    EXPECT_EQ(Cell(row, CTranslateDlg::kColumnSource), c.source) << c.index;
    EXPECT_EQ(Cell(row, CTranslateDlg::kColumnTranslation), L"Arrêt") << c.index;
    EXPECT_EQ(app::Settings().ReadInt(L"Start", L"translate_from", -1), c.index);
  }
}

TEST_F(TranslateDialogTest, CheckingModePreviewsTheTranslationAndOffRestoresTheLanguage) {
  app::SetCurrentLanguage(app::kLanguageGerman);
  ASSERT_EQ(app::LangText(app::kTextStop), L"Stopp");
  Open();
  Translate(app::kTextYes, L"oui");
  EXPECT_EQ(app::LangText(app::kTextYes), L"ja") << "no preview outside checking mode";

  Click(IDC_TR_CHECKING);
  ASSERT_TRUE(Checked());
  EXPECT_TRUE(app::CheckingMode());
  EXPECT_TRUE(guitest::PumpUntil([] { return app::LangText(app::kTextYes) == L"oui"; }));
  EXPECT_EQ(app::LangText(app::kTextStop), L"String 170 is not in list");
  EXPECT_GE(retranslations, 1) << "the frame translates its menus again";

  // A change shows after the next tick.
  Translate(app::kTextStop, L"Arrêt");
  EXPECT_TRUE(guitest::PumpUntil([] { return app::LangText(app::kTextStop) == L"Arrêt"; }));

  const int before = retranslations;
  Click(IDC_TR_CHECKING);
  EXPECT_FALSE(app::CheckingMode());
  EXPECT_EQ(app::LangText(app::kTextStop), L"Stopp");
  EXPECT_EQ(app::LangText(app::kTextYes), L"ja");
  EXPECT_EQ(retranslations, before + 1);
}

TEST_F(TranslateDialogTest, ClosingAsksOnlyAfterChanges) {
  Open();
  Click(IDC_TR_CHECKING);
  ::SendMessageW(dialog->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(questions.empty());
  EXPECT_FALSE(Visible());
  EXPECT_FALSE(app::CheckingMode()) << "the English fallback is back";
  EXPECT_FALSE(Checked());

  ASSERT_TRUE(dialog->Show(nullptr));
  EXPECT_TRUE(Visible());
}

TEST_F(TranslateDialogTest, ClosingWithChangesFollowsTheAnswer) {
  struct Case {
    int answer;
    bool staysOpen;
    bool saved;
  };
  for (const Case& c :
       {Case{IDCANCEL, true, false}, Case{IDNO, false, false}, Case{IDYES, true, true}}) {
    SCOPED_TRACE(c.answer);
    Open();
    Click(IDC_TR_CHECKING);
    Translate(app::kTextStop, L"Halt");
    questions.clear();
    answer = c.answer;
    const std::wstring file = temp / (L"answer" + std::to_wstring(c.answer));
    chosenFile = file;
    ::SendMessageW(dialog->hwnd(), WM_COMMAND, IDCANCEL, 0);  // Esc and the close box
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, L"Save the changes ?");
    EXPECT_EQ(questions[0].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(Visible(), c.staysOpen);
    EXPECT_EQ(app::CheckingMode(), c.staysOpen);
    EXPECT_EQ(platform::ReadFileBytes(file + L".txt").has_value(), c.saved);
    if (c.saved) {
      // Saved: closing again asks nothing.
      ::SendMessageW(dialog->hwnd(), WM_CLOSE, 0, 0);
      EXPECT_EQ(questions.size(), 1u);
      EXPECT_FALSE(Visible());
    }
  }
}

TEST_F(TranslateDialogTest, LoadFillsTheTranslationColumnById) {
  const std::wstring file = temp / L"fr.txt";
  ASSERT_TRUE(platform::WriteFileBytes(
      file, "\xFF\xFE" + platform::ToUtf16LeBytes(L"170=Arrêt\r\n300201=oui\r\n176=une\\nligne\r\n"
                                                  L"1234567=inconnu\r\n")));
  Open();
  chosenFile = file;
  // Unsaved work is not replaced unasked.
  Translate(app::kTextNo, L"non");
  answer = IDCANCEL;
  Click(IDC_TR_LOAD);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].text, L"Save the changes ?");
  EXPECT_TRUE(fileChoices.empty());
  EXPECT_EQ(Cell(RowOf(app::kTextNo), CTranslateDlg::kColumnTranslation), L"non");
  questions.clear();
  answer = IDNO;
  Click(IDC_TR_LOAD);
  EXPECT_EQ(fileChoices, std::vector<bool>{false});
  EXPECT_EQ(Cell(RowOf(app::kTextStop), CTranslateDlg::kColumnTranslation), L"Arrêt");
  EXPECT_EQ(Cell(RowOf(app::kTextYes), CTranslateDlg::kColumnTranslation), L"oui");
  EXPECT_EQ(Cell(RowOf(app::kTextNo), CTranslateDlg::kColumnTranslation), L"");
  EXPECT_GE(RowOf(1234567), 0) << "a text the source lacks is kept for saving";
  EXPECT_EQ(Text(IDC_TR_PATH), file);
  EXPECT_EQ(StoredFile(), file);
  Select(RowOf(app::kTextCheckingMode));
  EXPECT_EQ(Text(IDC_TR_TRANSLATION), L"une\r\nligne");

  // Loaded is not modified; the next opening loads the stored file again.
  questions.clear();
  ::SendMessageW(dialog->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(questions.empty());
  dialog.reset();
  Open();
  EXPECT_EQ(Cell(RowOf(app::kTextStop), CTranslateDlg::kColumnTranslation), L"Arrêt");
}

TEST_F(TranslateDialogTest, SaveWritesTheCurrentFileAndACopy) {
  Open();
  Translate(app::kTextStop, L"Halt\r\nan");
  chosenFile = temp / L"de-new";
  Click(IDC_TR_SAVE);  // no current file yet: asks for one
  const std::wstring file = temp / L"de-new.txt";
  EXPECT_EQ(fileChoices, std::vector<bool>{true});
  EXPECT_EQ(StoredFile(), file);
  EXPECT_EQ(Text(IDC_TR_PATH), file);

  Translate(app::kTextYes, L"jawohl");
  Click(IDC_TR_SAVE);
  EXPECT_EQ(fileChoices.size(), 1u) << "Save writes the current file without asking";
  const auto bytes = platform::ReadFileBytes(file);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(app::ReadTranslationFile(*bytes),
            (app::TextTable{{app::kTextStop, L"Halt\nan"}, {app::kTextYes, L"jawohl"}}));
  size_t lines = 0;
  for (wchar_t c : platform::FromUtf16LeBytes(bytes->substr(2))) lines += c == L'\n';
  EXPECT_EQ(lines, static_cast<size_t>(ListView_GetItemCount(list)));
  EXPECT_EQ(platform::ReadFileBytes(tempCopies + L"\\lng_de-new.txt"), bytes);
  ::SendMessageW(dialog->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(questions.empty());
}

TEST_F(TranslateDialogTest, AFailedSaveIsReportedAndKeepsTheChanges) {
  Open();
  Translate(app::kTextStop, L"Halt");
  chosenFile = temp / L"missing-folder\\fr";
  answer = IDOK;
  Click(IDC_TR_SAVE_AS);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].text.find(app::LangText(app::kTextCannotWrite)), std::wstring::npos);
  EXPECT_EQ(StoredFile(), L"");
  questions.clear();
  answer = IDCANCEL;
  ::SendMessageW(dialog->hwnd(), WM_CLOSE, 0, 0);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].text, L"Save the changes ?");
}

TEST_F(TranslateDialogTest, TranslationCellEditsInPlace) {
  Open();
  const int row = RowOf(app::kTextNo);
  Select(row);
  ::SetFocus(list);
  const HWND field = ListView_EditLabel(list, row);
  ASSERT_TRUE(field);
  // The field lies over the translation column, which is shown last.
  RECT cell{}, fieldRect{};
  ListView_GetSubItemRect(list, row, CTranslateDlg::kColumnTranslation, LVIR_LABEL, &cell);
  ::GetWindowRect(field, &fieldRect);
  ::MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&fieldRect), 2);
  ::SetWindowTextW(field, L"non\\nvraiment");
  EXPECT_GE(fieldRect.left, cell.left - 4);
  ::SendMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Cell(row, CTranslateDlg::kColumnTranslation), L"non\\nvraiment");
  EXPECT_EQ(Text(IDC_TR_TRANSLATION), L"non\r\nvraiment");
  EXPECT_EQ(Cell(row, CTranslateDlg::kColumnId), L"300202");
  ::SendMessageW(dialog->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(questions.size(), 1u) << "an edit in place is a change";
}

TEST_F(TranslateDialogTest, GotoSelectsTheNextUntranslatedRow) {
  Open();
  const int count = ListView_GetItemCount(list);
  ASSERT_GT(count, 3);
  Select(1);
  Translate(std::stoi(Cell(2, CTranslateDlg::kColumnId)), L"fait");
  Select(1);
  Click(IDC_TR_NEXT_UNTRANSLATED);
  EXPECT_EQ(Selected(), 3) << "skips the translated row";
  EXPECT_EQ(::GetFocus(), list);
  EXPECT_TRUE(Text(IDC_TR_TRANSLATION).empty());

  Select(count - 1);
  Click(IDC_TR_NEXT_UNTRANSLATED);
  EXPECT_EQ(Selected(), 0) << "wraps to the top";
}

// The editor with a few rows translated, saved as build/screenshots/translate-editor.png.
TEST_F(TranslateDialogTest, ScreenshotWithAFewRowsTranslated) {
  Open();
  ::SetWindowPos(dialog->hwnd(), HWND_TOP, 20, 20, 900, 620, SWP_SHOWWINDOW);
  chosenFile = temp / L"fr.txt";
  Click(IDC_TR_SAVE_AS);
  Translate(app::kTextMenuFile, L"&Fichier");
  Translate(app::kTextMenuExport, L"&Exporter la liste...");
  Translate(app::kTextMenuExit, L"&Quitter");
  Translate(app::kTextMenuLanguage, L"&Langue");
  Translate(app::kTextMenuMagnifier, L"&Loupe\tAlt+L");
  Click(IDC_TR_CHECKING);
  Select(RowOf(app::kTextMenuMagnifier));
  ::SendMessageW(dialog->hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
  ::RedrawWindow(dialog->hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  guitest::PumpPending();

  // The client area: without a window manager under Xvfb nobody draws the caption.
  RECT r;
  ::GetClientRect(dialog->hwnd(), &r);
  ::MapWindowPoints(dialog->hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  const int width = r.right - r.left, height = r.bottom - r.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB};
  void* bits = nullptr;
  platform::WindowDc screen(nullptr);
  platform::UniqueDc memory(::CreateCompatibleDC(screen.get()));
  platform::UniqueBitmap shot(
      ::CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_TRUE(shot);
  {
    platform::SelectObjectGuard select(memory.get(), shot.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY);
  }
  const auto* pixels = static_cast<const uint32_t*>(bits);
  const size_t count = static_cast<size_t>(width) * height;
  EXPECT_NE(static_cast<size_t>(std::count(pixels, pixels + count, pixels[0])), count)
      << "the screen shows the window";

  std::wstring folder = L"Z:";
  for (const char* p = DUPLORA_SCREENSHOTS; *p; ++p)
    folder += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  std::filesystem::create_directories(std::filesystem::path(folder));
  EXPECT_TRUE(
      testsupport::WritePng(folder + L"\\translate-editor.png", width, height, [&](int x, int y) {
        const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
        return testsupport::Rgba{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                 static_cast<uint8_t>(p), 255};
      }));
}

}  // namespace
