// The text of a path box as a list of paths.
//
// A box holds one path or several, separated by ";" or line breaks. The
// canonical form keeps each item once (letter case ignored), drops items of
// two characters or fewer, expands the first %VARIABLE% of each item and
// joins the items with ";" in the order they were typed:
//
//   std::wstring text = L"C:\\a;c:\\A;;x";
//   PathItems items;
//   NormalizePathList(text, &items);   // text == L"C:\\a", items == {L"C:\\a"}
#pragma once

#include <set>
#include <string>

namespace engine {

// The accepted items of a path text, ordered code unit by code unit (upper
// case before lower case), which is the order in which they are collected.
using PathItems = std::set<std::wstring>;

// Rewrites text in canonical form and, when items is given, adds the accepted
// items to it. Returns the last accepted item in typed order; empty when none.
std::wstring NormalizePathList(std::wstring& text, PathItems* items = nullptr);

// Normalises text and looks at each item in item order. Returns the number of
// items, with the last of them left in text; or 0 when an item does not exist
// (text then holds that item) or when there is no item at all.
int CheckPathsExist(std::wstring& text);

}  // namespace engine
