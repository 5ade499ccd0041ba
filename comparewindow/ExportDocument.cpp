#include "comparewindow/ExportDocument.h"

#include "platform/Text.h"

namespace comparewindow {
namespace {

constexpr size_t kHtmlStartChars = 1048576;

constexpr std::wstring_view kHtmlHead =
    L"<html><head><style><!-- \r\n"
    L"body,td,a,p,.h{font-family:arial,sans-serif; font-size: 12px; }\r\n"
    L".h{font-size: 20px;}\r\n"
    L".q{color:#0000cc;}\r\n"
    L".b_grau{background-color:#EEEEEE;}\r\n"
    L".b_gelb{background-color:#EEEEAA;}\r\n"
    L"//-->\r\n"
    L"</style></head>\r\n"
    L"\r\n"
    L"<body>\r\n"
    L"\r\n"
    L"\r\n";
constexpr std::wstring_view kEmptyHtmlCell = L"<td>&nbsp;</td>";

// The document as UTF-16LE bytes, whatever the width of wchar_t.
class Utf16Writer {
 public:
  explicit Utf16Writer(size_t startChars) {
    bytes_.reserve(2 + 2 * startChars);
    bytes_ += "\xFF\xFE";
  }
  Utf16Writer& operator<<(std::wstring_view text) {
    platform::AppendUtf16LeBytes(bytes_, text);
    return *this;
  }
  std::string Take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

const std::wstring& Cell(const std::vector<std::wstring>& row, size_t column) {
  static const std::wstring empty;
  return column < row.size() ? row[column] : empty;
}

// Text and CSV: one line per row after the title line.
void WriteLines(const ExportTable& table, std::wstring_view before, std::wstring_view after,
                Utf16Writer& out) {
  auto line = [&](const std::vector<std::wstring>& fields) {
    for (size_t column = 0; column < table.titles.size(); ++column)
      out << before << Cell(fields, column) << after;
    out << L"\r\n";
  };
  line(table.titles);
  for (const std::vector<std::wstring>& row : table.rows) line(row);
}

void WriteHtml(const ExportTable& table, Utf16Writer& out) {
  out << kHtmlHead << L"<TABLE Border=0><TR class=\"b_gelb\">";
  for (const std::wstring& title : table.titles) {
    if (title.empty())
      out << kEmptyHtmlCell;
    else
      out << L"<td><b><nobr>" << title << L"</b></td>";
  }
  out << L"</TR>\r\n\r\n";
  for (size_t row = 0; row < table.rows.size(); ++row) {
    out << (row % 2 == 0 ? L"  <TR class=\"b_grau\">" : L"  <TR>");
    for (size_t column = 0; column < table.titles.size(); ++column) {
      const std::wstring& text = Cell(table.rows[row], column);
      if (text.empty())
        out << kEmptyHtmlCell;
      else
        out << L"<td ><nobr>" << text << L"</td>";
    }
    out << L"   </TR>\r\n";
  }
  out << L"</TABLE>" << L"</body></html>\r\n";
}

}  // namespace

const ExportFileType* ExportFileTypeAt(int index) {
  if (index < 1 || index > kExportFileTypeCount) return nullptr;
  return &kExportFileTypes[index - 1];
}

std::string ExportDocument(const ExportTable& table, ExportFormat format) {
  switch (format) {
    case ExportFormat::Text: {
      Utf16Writer out(0);
      WriteLines(table, L"", L"\t", out);
      return out.Take();
    }
    case ExportFormat::Csv: {
      Utf16Writer out(0);
      WriteLines(table, L"\"", L"\";", out);
      return out.Take();
    }
    case ExportFormat::Html: {
      Utf16Writer out(kHtmlStartChars);
      WriteHtml(table, out);
      return out.Take();
    }
  }
  return {};
}

std::wstring WithExportExtension(const std::wstring& path, const ExportFileType& type) {
  const size_t dot = path.rfind(L'.');
  std::wstring extension;
  if (dot != std::wstring::npos && dot + 1 < path.size()) extension = path.substr(dot + 1);
  // Extensions are ASCII, so folding A to Z is all the lower-casing that can matter.
  for (wchar_t& c : extension)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  if (extension == type.extension) return path;
  return path + L"." + type.extension;
}

}  // namespace comparewindow
