// The export of a result list as a file: the five file types of the save
// dialog, the extension a chosen name gets, and the bytes of the text, CSV
// and HTML documents. Portable, shared by the window and the command line.
//
//   comparewindow::ExportTable table{{L"Path (1)", L"Path (2)"}, {{L"C:\\a.jpg", L"C:\\b.jpg"}}};
//   const comparewindow::ExportFileType* type = comparewindow::ExportFileTypeAt(2);  // CSV
//   std::wstring path = comparewindow::WithExportExtension(L"C:\\out\\pairs", *type);
//   std::string bytes = comparewindow::ExportDocument(table, type->format);
//
// Every document is UTF-16LE after one byte-order mark (FF FE), without a
// terminating NUL, with lines ending CR LF. Texts go in unchanged: no
// escaping in the HTML, no doubled quotes in the CSV; programs that read
// these files rely on exactly these bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace comparewindow {

enum class ExportFormat {
  Text,  // fields followed by a tab
  Csv,   // fields in double quotes followed by ";"
  Html,  // a table
};

struct ExportFileType {
  const wchar_t* name;       // as the save dialog lists it
  const wchar_t* pattern;    // the dialog's filter
  const wchar_t* extension;  // ensured on the chosen name, without the dot
  ExportFormat format;
};

// The save dialog's type list in order; the 1-based position is the index
// the dialog reports and the setting "ExportIndex" stores.
inline constexpr ExportFileType kExportFileTypes[] = {
    {L"Text (*.txt)", L"*.txt", L"txt", ExportFormat::Text},
    {L"CSV (*.csv)", L"*.csv", L"csv", ExportFormat::Csv},
    {L"html (*.html)", L"*.html", L"html", ExportFormat::Html},
    {L"XLS (*.xls)", L"*.xls", L"xls", ExportFormat::Html},
    {L"DOC (*.doc)", L"*.doc", L"doc", ExportFormat::Html},
};
inline constexpr int kExportFileTypeCount = 5;

// The type at a 1-based index; null outside 1..5.
const ExportFileType* ExportFileTypeAt(int index);

// What is exported: the column titles in display order and, for each row,
// its cell texts in the same order (a missing cell counts as empty).
struct ExportTable {
  std::vector<std::wstring> titles;
  std::vector<std::vector<std::wstring>> rows;
};

// The whole file: byte-order mark and document. The HTML document starts
// with room for 1048576 characters and grows beyond it as needed.
std::string ExportDocument(const ExportTable& table, ExportFormat format);

// The path with "." and the type's extension appended, unless the text after
// its last "." already is that extension in any letter case. A path without
// a "." followed by text always gets the extension ("a." becomes "a..csv").
std::wstring WithExportExtension(const std::wstring& path, const ExportFileType& type);

}  // namespace comparewindow
