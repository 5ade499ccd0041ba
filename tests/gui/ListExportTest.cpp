// The export of a real list view whose owner supplies the texts on demand,
// with the save dialog and the shell replaced, so neither opens.
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/MyProfStr.h"
#include "comparewindow/ListExport_win.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/Window_win.h"
#include "tests/gui/ShellFixtures.h"

namespace {

using comparewindow::ExportOutcome;
using namespace std::string_literals;

// A window with a report-style list view whose texts it supplies on
// demand, copied up to the length the list asks for, as the compare window does.
class OnDemandList : public platform::BaseWindow {
 public:
  OnDemandList(std::vector<std::wstring> titles, std::vector<std::vector<std::wstring>> cells)
      : cells_(std::move(cells)) {
    WNDCLASSEXW windowClass{sizeof windowClass};
    windowClass.lpszClassName = L"DuploraTestOnDemandList";
    CreateWindowOfClass(windowClass, 0, L"list", WS_OVERLAPPEDWINDOW, 0, 0, 600, 300, nullptr,
                        nullptr);
    list_ = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 600,
                              300, hwnd(), nullptr, nullptr, nullptr);
    for (size_t column = 0; column < titles.size(); ++column) {
      LVCOLUMNW item{};
      item.mask = LVCF_TEXT | LVCF_WIDTH;
      item.cx = 100;
      item.pszText = titles[column].data();
      ListView_InsertColumn(list_, static_cast<int>(column), &item);
    }
    for (size_t row = 0; row < cells_.size(); ++row) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.pszText = LPSTR_TEXTCALLBACKW;
      ListView_InsertItem(list_, &item);
      for (size_t column = 1; column < titles.size(); ++column)
        ListView_SetItemText(list_, static_cast<int>(row), static_cast<int>(column),
                             LPSTR_TEXTCALLBACKW);
    }
  }

  HWND list() const { return list_; }
  int requests = 0;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_NOTIFY) {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
      if (info->hdr.hwndFrom == list_ && info->hdr.code == LVN_GETDISPINFOW &&
          (info->item.mask & LVIF_TEXT) && info->item.cchTextMax > 0) {
        ++requests;
        const std::wstring& text =
            cells_[static_cast<size_t>(info->item.iItem)][static_cast<size_t>(info->item.iSubItem)];
        const size_t length = std::min(text.size(), static_cast<size_t>(info->item.cchTextMax - 1));
        text.copy(info->item.pszText, length);
        info->item.pszText[length] = L'\0';
        return 0;
      }
    }
    return DefaultMessage(message, wParam, lParam);
  }

 private:
  std::vector<std::vector<std::wstring>> cells_;
  HWND list_ = nullptr;
};

// The save dialog and the shell as a test wants them: the dialog's
// structure as it came, the answer given, and the paths handed to the shell.
struct FakeServices {
  std::optional<std::wstring> answerPath;  // nothing: cancel
  DWORD answerType = 1;

  OPENFILENAMEW seen{};
  std::wstring seenFilter, seenFile, seenTitle;
  std::vector<std::wstring> opened;

  comparewindow::ExportServices Services() {
    return {[this](OPENFILENAMEW& dialog) -> BOOL {
              seen = dialog;
              const wchar_t* filter = dialog.lpstrFilter;
              while (*filter) filter += std::wcslen(filter) + 1;  // to the closing NUL
              seenFilter.assign(dialog.lpstrFilter, filter);
              seenFile = dialog.lpstrFile;
              seenTitle = dialog.lpstrTitle ? dialog.lpstrTitle : L"";
              dialog.nFilterIndex = answerType;
              if (!answerPath) return FALSE;
              answerPath->copy(dialog.lpstrFile, dialog.nMaxFile - 1);
              dialog.lpstrFile[std::min<size_t>(answerPath->size(), dialog.nMaxFile - 1)] = 0;
              return TRUE;
            },
            [this](const std::wstring& path) { opened.push_back(path); }};
  }
};

std::wstring StoredIndex() {
  return app::Settings().ReadString(L"List", L"ExportIndex", L"<missing>");
}

std::optional<std::wstring> FileText(const std::wstring& path) {
  const std::optional<std::string> bytes = platform::ReadFileBytes(path);
  if (!bytes || bytes->size() < 2 || bytes->substr(0, 2) != "\xFF\xFE") return std::nullopt;
  return platform::FromUtf16LeBytes(bytes->substr(2));
}

const std::wstring kLongPath = L"C:\\" + std::wstring(300, L'a') + L"\\x.jpg";
const std::wstring kLongerText = std::wstring(1000, L'b') + L"<end>";

OnDemandList FourColumnList() {
  return OnDemandList({L"Path (1)", L"Path (2)", L"Similarity", L"Ratio %"},
                      {{kLongPath, L"C:\\b.jpg", L"100 %", L"1.00 %"},
                       {L"C:\\c.jpg", kLongerText, L"", L"99.00 %"}});
}

TEST(ListExport, EveryColumnInDisplayOrderWithTheWholeTexts) {
  guitest::TempSettings settings;
  app::Settings().WriteInt(L"List", L"ExportIndex", 3);
  OnDemandList window = FourColumnList();
  ASSERT_TRUE(window.list());
  // Column 0 is not displayed first: the columns shown before it count too.
  int order[] = {2, 0, 3, 1};
  ASSERT_TRUE(ListView_SetColumnOrderArray(window.list(), 4, order));

  FakeServices fake;
  fake.answerPath = settings.folder() + L"\\pairs";
  fake.answerType = 1;
  EXPECT_EQ(comparewindow::Export(window.list(), L"Duplora", fake.Services()),
            ExportOutcome::Written);

  // The dialog as prepared: stored type preselected, suggested name, no owner.
  EXPECT_EQ(fake.seenTitle, L"Export TXT,CSV,HTML,XLS");
  EXPECT_EQ(fake.seenFilter,
            L"Text (*.txt)\0*.txt\0CSV (*.csv)\0*.csv\0html (*.html)\0*.html\0"
            L"XLS (*.xls)\0*.xls\0DOC (*.doc)\0*.doc\0"s);
  EXPECT_EQ(fake.seen.nFilterIndex, 3u);
  EXPECT_EQ(fake.seenFile, L"Export_Duplora");
  EXPECT_EQ(fake.seen.nMaxFile, 260u);
  EXPECT_TRUE(fake.seen.Flags & OFN_OVERWRITEPROMPT);
  EXPECT_EQ(fake.seen.hwndOwner, nullptr);

  EXPECT_EQ(StoredIndex(), L"1");
  const std::wstring written = settings.folder() + L"\\pairs.txt";
  EXPECT_EQ(fake.opened, std::vector<std::wstring>{written});
  EXPECT_EQ(FileText(written),
            L"Similarity\tPath (1)\tRatio %\tPath (2)\t\r\n"
            L"100 %\t" +
                kLongPath +
                L"\t1.00 %\tC:\\b.jpg\t\r\n"
                L"\tC:\\c.jpg\t99.00 %\t" +
                kLongerText + L"\t\r\n");
  EXPECT_GT(window.requests, 0);

  // The spreadsheet type: the HTML table under its own extension.
  fake.answerType = 4;
  EXPECT_EQ(comparewindow::Export(window.list(), L"Duplora", fake.Services()),
            ExportOutcome::Written);
  EXPECT_EQ(StoredIndex(), L"4");
  const std::optional<std::string> xls =
      platform::ReadFileBytes(settings.folder() + L"\\pairs.xls");
  ASSERT_TRUE(xls);
  EXPECT_EQ(*xls, comparewindow::ExportDocument(comparewindow::ReadListTable(window.list()),
                                                comparewindow::ExportFormat::Html));
  EXPECT_NE(xls->find(platform::ToUtf16LeBytes(L"<td ><nobr>" + kLongerText + L"</td>")),
            std::string::npos);
}

TEST(ListExport, CancellingWritesNothingAndKeepsTheStoredType) {
  guitest::TempSettings settings;
  app::Settings().WriteInt(L"List", L"ExportIndex", 2);
  OnDemandList window = FourColumnList();
  FakeServices fake;
  fake.answerType = 5;  // another type picked, then cancelled
  EXPECT_EQ(comparewindow::Export(window.list(), L"Duplora", fake.Services()),
            ExportOutcome::Cancelled);
  EXPECT_EQ(fake.seen.nFilterIndex, 2u);
  EXPECT_EQ(StoredIndex(), L"2");
  EXPECT_TRUE(fake.opened.empty());
  EXPECT_EQ(window.requests, 0);  // the list was not even read
}

TEST(ListExport, AnUnwritableFileIsNeitherWrittenNorOpened) {
  guitest::TempSettings settings;
  OnDemandList window = FourColumnList();
  FakeServices fake;
  fake.answerPath = settings.folder() + L"\\missing folder\\pairs";
  fake.answerType = 2;
  EXPECT_EQ(comparewindow::Export(window.list(), L"Duplora", fake.Services()),
            ExportOutcome::NotWritten);
  EXPECT_EQ(fake.seen.nFilterIndex, 1u);  // nothing stored yet
  EXPECT_EQ(StoredIndex(), L"2");
  EXPECT_TRUE(fake.opened.empty());
}

TEST(ListExport, AnEmptyListExportsItsTitles) {
  guitest::TempSettings settings;
  OnDemandList window({L"A", L""}, {});
  FakeServices fake;
  fake.answerPath = settings.folder() + L"\\empty.CSV";
  fake.answerType = 2;
  EXPECT_EQ(comparewindow::Export(window.list(), L"Duplora", fake.Services()),
            ExportOutcome::Written);
  EXPECT_EQ(FileText(settings.folder() + L"\\empty.CSV"), L"\"A\";\"\";\r\n");
}

}  // namespace
