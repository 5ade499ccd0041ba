// The export documents byte for byte, the file types and the extension rule.
#include <gtest/gtest.h>

#include <string>

#include "comparewindow/ExportDocument.h"

namespace {

using comparewindow::ExportDocument;
using comparewindow::ExportFormat;
using comparewindow::ExportTable;

// The expected file: byte-order mark, then the UTF-16 units little-endian.
std::string FileBytes(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

constexpr std::u16string_view kHtmlHead =
    u"<html><head><style><!-- \r\nbody,td,a,p,.h{font-family:arial,sans-serif; font-size: "
    u"12px; }\r\n.h{font-size: 20px;}\r\n.q{color:#0000cc;}\r\n.b_grau{background-color:#"
    u"EEEEEE;}\r\n.b_gelb{background-color:#EEEEAA;}\r\n//-->\r\n</style></head>\r\n\r\n<body>"
    u"\r\n\r\n\r\n";

// An empty title, an empty cell, a short row, markup characters, quotes and
// a semicolon in a path, and characters beyond ASCII and beyond 16 bits.
const ExportTable kTable{
    {L"Path (1)", L"", L"Ratio %"},
    {{L"C:\\a;\"b\".jpg", L"", L"100 %"}, {L"x&<y>", L"\U0001F600 \u00b0", L"1.00 %"}, {L"z"}}};

TEST(ExportDocument, EachFormatByteForByte) {
  struct Case {
    ExportFormat format;
    std::u16string expected;
  };
  const Case cases[] = {
      {ExportFormat::Text,
       u"Path (1)\t\tRatio %\t\r\n"
       u"C:\\a;\"b\".jpg\t\t100 %\t\r\n"
       u"x&<y>\t\U0001F600 \u00b0\t1.00 %\t\r\n"
       u"z\t\t\t\r\n"},
      {ExportFormat::Csv,
       u"\"Path (1)\";\"\";\"Ratio %\";\r\n"
       u"\"C:\\a;\"b\".jpg\";\"\";\"100 %\";\r\n"
       u"\"x&<y>\";\"\U0001F600 \u00b0\";\"1.00 %\";\r\n"
       u"\"z\";\"\";\"\";\r\n"},
      {ExportFormat::Html,
       std::u16string(kHtmlHead) +
           u"<TABLE Border=0><TR class=\"b_gelb\"><td><b><nobr>Path (1)</b></td><td>&nbsp;</td>"
           u"<td><b><nobr>Ratio %</b></td></TR>\r\n\r\n"
           u"  <TR class=\"b_grau\"><td ><nobr>C:\\a;\"b\".jpg</td><td>&nbsp;</td><td ><nobr>"
           u"100 %</td>   </TR>\r\n"
           u"  <TR><td ><nobr>x&<y></td><td ><nobr>\U0001F600 \u00b0</td><td ><nobr>1.00 %</td>"
           u"   </TR>\r\n"
           u"  <TR class=\"b_grau\"><td ><nobr>z</td><td>&nbsp;</td><td>&nbsp;</td>   </TR>\r\n"
           u"</TABLE></body></html>\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.format));
    EXPECT_EQ(ExportDocument(kTable, c.format), FileBytes(c.expected));
  }
}

TEST(ExportDocument, EmptyListKeepsTheTitleLineAndTheTableHead) {
  const ExportTable empty{{L"A", L"B"}, {}};
  EXPECT_EQ(ExportDocument(empty, ExportFormat::Text), FileBytes(u"A\tB\t\r\n"));
  EXPECT_EQ(ExportDocument(empty, ExportFormat::Csv), FileBytes(u"\"A\";\"B\";\r\n"));
  EXPECT_EQ(ExportDocument(empty, ExportFormat::Html),
            FileBytes(std::u16string(kHtmlHead) +
                      u"<TABLE Border=0><TR class=\"b_gelb\"><td><b><nobr>A</b></td><td><b><nobr>"
                      u"B</b></td></TR>\r\n\r\n</TABLE></body></html>\r\n"));
}

// The HTML document starts with room for 1048576 characters; a longer list
// must come out whole, not cut at that room.
TEST(ExportDocument, HtmlBeyondItsStartingRoomComesOutWhole) {
  ExportTable table{{L"Path"}, {}};
  const std::wstring path(200, L'p');
  for (int row = 0; row < 12000; ++row) table.rows.push_back({path + std::to_wstring(row)});
  const std::string bytes = ExportDocument(table, ExportFormat::Html);
  EXPECT_GT(bytes.size(), 2u * 1048576u);
  const std::string end = FileBytes(u"<td ><nobr>" + std::u16string(200, u'p') +
                                    u"11999</td>   </TR>\r\n</TABLE></body></html>\r\n")
                              .substr(2);
  ASSERT_GE(bytes.size(), end.size());
  EXPECT_EQ(bytes.substr(bytes.size() - end.size()), end);
}

TEST(ExportFileTypes, TheDialogsListInOrderAndTheHtmlUnderOtherNames) {
  const wchar_t* expected[][3] = {{L"Text (*.txt)", L"*.txt", L"txt"},
                                  {L"CSV (*.csv)", L"*.csv", L"csv"},
                                  {L"html (*.html)", L"*.html", L"html"},
                                  {L"XLS (*.xls)", L"*.xls", L"xls"},
                                  {L"DOC (*.doc)", L"*.doc", L"doc"}};
  for (int index = 1; index <= comparewindow::kExportFileTypeCount; ++index) {
    const comparewindow::ExportFileType* type = comparewindow::ExportFileTypeAt(index);
    ASSERT_NE(type, nullptr);
    EXPECT_STREQ(type->name, expected[index - 1][0]);
    EXPECT_STREQ(type->pattern, expected[index - 1][1]);
    EXPECT_STREQ(type->extension, expected[index - 1][2]);
  }
  EXPECT_EQ(comparewindow::ExportFileTypeAt(0), nullptr);
  EXPECT_EQ(comparewindow::ExportFileTypeAt(6), nullptr);

  const std::string html = ExportDocument(kTable, comparewindow::ExportFileTypeAt(3)->format);
  EXPECT_EQ(ExportDocument(kTable, comparewindow::ExportFileTypeAt(4)->format), html);
  EXPECT_EQ(ExportDocument(kTable, comparewindow::ExportFileTypeAt(5)->format), html);
}

TEST(ExportFileTypes, TheChosenNameGetsTheTypesExtension) {
  struct Case {
    int type;
    const wchar_t* chosen;
    const wchar_t* written;
  };
  for (const Case& c : {
           Case{2, L"C:\\out\\pairs", L"C:\\out\\pairs.csv"},
           Case{2, L"C:\\out\\pairs.CSV", L"C:\\out\\pairs.CSV"},
           Case{2, L"x.csv.txt", L"x.csv.txt.csv"},
           Case{2, L"C:\\my.folder\\pairs", L"C:\\my.folder\\pairs.csv"},
           Case{2, L"pairs.", L"pairs..csv"},
           Case{2, L"csv", L"csv.csv"},
           Case{1, L"/home/u/pairs.TxT", L"/home/u/pairs.TxT"},
           Case{3, L"pairs.htm", L"pairs.htm.html"},
           Case{4, L"book.xls", L"book.xls"},
           Case{5, L"letter.Doc", L"letter.Doc"},
       }) {
    SCOPED_TRACE(c.chosen);
    EXPECT_EQ(
        comparewindow::WithExportExtension(c.chosen, *comparewindow::ExportFileTypeAt(c.type)),
        c.written);
  }
}

}  // namespace
