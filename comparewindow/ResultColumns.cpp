#include "comparewindow/ResultColumns.h"

#include "engine/NumberTexts.h"
#include "platform/Text.h"

namespace comparewindow {
namespace {

constexpr int kTextPath = 2006;
constexpr int kTextSize = 2001;
constexpr int kTextSimilarity = 300102;
constexpr int kTextBrightness = 300105;
constexpr int kTextRotated = 300108;
constexpr int kTextMirrored = 300109;
constexpr int kTextNegative = 300110;
constexpr int kTextYes = 300201;
constexpr int kTextNo = 300202;
constexpr int kTextMirrorVertical = 300203;
constexpr int kTextMirrorHorizontal = 300204;

// The short cells are cut to what the list's default buffer holds.
constexpr size_t kShortCell = 63;

std::wstring Short(std::wstring text) {
  if (text.size() > kShortCell) text.resize(kShortCell);
  return text;
}

// Letters A to Z folded to a to z, every other character by its code.
int ComparePaths(const wchar_t* a, const wchar_t* b) {
  auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
  for (;; ++a, ++b) {
    const auto x = static_cast<uint32_t>(fold(*a)), y = static_cast<uint32_t>(fold(*b));
    if (x != y) return x < y ? -1 : 1;
    if (*a == 0) return 0;
  }
}

template <typename Key>
int Greater(Key a, Key b) {
  return a > b ? 1 : 0;
}

}  // namespace

ColumnLayout ColumnLayoutOf(int column) {
  if (column == 0 || column == 1) return {false, 270};
  if (column == 2) return {true, 60};
  return {true, 80};
}

std::wstring ColumnTitle(int column, const engine::TextLookup& texts) {
  switch (column) {
    case 0: return texts(kTextPath) + L" (1)";
    case 1: return texts(kTextPath) + L" (2)";
    case 2: return texts(kTextSimilarity);
    case 3: return L"Ratio %";
    case 4: case 11: return texts(kTextSize) + L" (1)";
    case 5: case 12: return texts(kTextSize) + L" (2)";
    case 6: return texts(kTextBrightness) + L" (1)";
    case 7: return texts(kTextBrightness) + L" (2)";
    case 8: return texts(kTextRotated);
    case 9: return texts(kTextMirrored);
    case 10: return texts(kTextNegative);
  }
  return {};
}

std::wstring CellText(const engine::MatchPair& pair, int column, const engine::TextLookup& texts) {
  const engine::ImageEntry& left = *pair.first;
  const engine::ImageEntry& right = *pair.second;
  switch (column) {
    case 0: return left.Path();
    case 1: return right.Path();
    case 2: return platform::FormatText("%d %%", pair.similarity);
    case 3: return platform::FormatText("%.2f %%", static_cast<double>(pair.aspectSimilarity));
    case 4: return platform::FormatText("%d x %d", left.width, left.height);
    case 5: return platform::FormatText("%d x %d", right.width, right.height);
    case 6: return platform::FormatText("%d %%", left.brightness);
    case 7: return platform::FormatText("%d %%", right.brightness);
    case 8: return platform::FormatText("%d ", pair.rotation) + L"\u00b0";
    case 9:
      return Short(texts(pair.flip == 1   ? kTextMirrorHorizontal
                         : pair.flip == 2 ? kTextMirrorVertical
                                          : kTextNo));
    case 10: return Short(texts(pair.negative ? kTextYes : kTextNo));
    case 11: return engine::SizeText(left.fileSize);
    case 12: return engine::SizeText(right.fileSize);
  }
  return {};
}

int CompareRows(const engine::MatchPair& a0, const engine::MatchPair& b0, int column,
                bool descending) {
  const engine::MatchPair& a = descending ? b0 : a0;
  const engine::MatchPair& b = descending ? a0 : b0;
  switch (column) {
    case 0: return ComparePaths(a.first->path, b.first->path);
    case 1: return ComparePaths(a.second->path, b.second->path);
    case 2: return Greater(a.similarity, b.similarity);
    case 3: return Greater(a.aspectSimilarity, b.aspectSimilarity);
    case 4: return Greater(a.first->width, b.first->width);
    case 5: return Greater(a.second->width, b.second->width);
    case 6: return Greater(a.first->brightness, b.first->brightness);
    case 7: return Greater(a.second->brightness, b.second->brightness);
    case 8: return Greater(b.rotation, a.rotation);
    case 9: return Greater(b.flip, a.flip);
    case 10: return Greater(b.negative, a.negative);
    case 11: return Greater(a.first->fileSize, b.first->fileSize);
    case 12: return Greater(a.second->fileSize, b.second->fileSize);
  }
  return 0;
}

}  // namespace comparewindow
