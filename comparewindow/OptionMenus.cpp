#include "comparewindow/OptionMenus.h"

#include "app/TextIds.h"

namespace comparewindow {
namespace {

// The command of the fingerprint menu's title, which cannot be chosen.
constexpr int kRuleTitleCommand = 7;
constexpr int kSimilarityStep = 5;
constexpr int kSimilarityHighest = 100;
constexpr int kSimilarityLowest = 40;

std::wstring Percent(const engine::TextLookup& texts, int value) {
  return texts(app::kTextSimilarity) + L" " + std::to_wstring(value) + L" %";
}

// The yes/no text of a 0/1 option: text 300201 for 1, 300202 for 0.
std::wstring YesNo(const engine::TextLookup& texts, int value) {
  return texts(app::kTextNo - value);
}

int OrientationText(int button) {
  switch (button) {
    case kMatchRotated:
      return app::kTextRotated;
    case kMatchFlipped:
      return app::kTextMirrored;
    case kMatchNegative:
      return app::kTextNegative;
  }
  return 0;
}

// The setting of a rotated/mirrored/negative button (const or not, as the settings are).
template <typename Settings>
auto* OrientationSetting(int button, Settings& settings) {
  switch (button) {
    case kMatchFlipped:
      return &settings.m_search_flipped;
    case kMatchNegative:
      return &settings.m_search_negative;
  }
  return &settings.m_search_rotated;
}

OptionMenuItem Title(int command, std::wstring text) { return {command, std::move(text), false}; }
OptionMenuItem Separator() { return {0, {}, false, true}; }

std::vector<OptionMenuItem> SearchMenu(int button, const engine::TextLookup& texts) {
  switch (button) {
    case kSearchViewMode:
      return {{1, texts(app::kTextResultList)}, {2, texts(app::kTextFileBrowser)}};
    case kSearchSimilarity: {
      std::vector<OptionMenuItem> items;
      for (int value = kSimilarityHighest; value >= kSimilarityLowest; value -= kSimilarityStep)
        items.push_back({value, Percent(texts, value)});
      return items;
    }
    case kSearchSubfolders:
      return {Title(0, texts(app::kTextSubfolders)),
              Separator(),
              {1, texts(app::kTextNo)},
              {2, texts(app::kTextYes)}};
  }
  return {};
}

std::vector<OptionMenuItem> MatchMenu(int button, const engine::TextLookup& texts) {
  switch (button) {
    case kMatchCompareMode:
      return {{1, texts(app::kTextOneFolder)}, {2, texts(app::kTextTwoFolders)}};
    case kMatchRule:
      return {Title(kRuleTitleCommand, texts(app::kTextFingerprintFrom)),
              Separator(),
              {1, texts(app::kTextRuleShellThumbnail)},
              {2, texts(app::kTextRuleEmbeddedThumbnail)},
              {3, texts(app::kTextRuleWholePicture)}};
    case kMatchRotated:
    case kMatchFlipped:
    case kMatchNegative:
      return {Title(0, texts(app::kTextAlsoFind) + L" " + texts(OrientationText(button))),
              Separator(),
              {1, texts(app::kTextYes)},
              {2, texts(app::kTextNo)}};
  }
  return {};
}

}  // namespace

std::vector<OptionMenuItem> OptionMenu(OptionBar bar, int button, const engine::TextLookup& texts) {
  switch (bar) {
    case OptionBar::Search:
      return SearchMenu(button, texts);
    case OptionBar::Match:
      return MatchMenu(button, texts);
    case OptionBar::Preview:
      if (button != kPreviewMode) return {};
      return {{1, texts(app::kTextPreviewPicture)},
              {2, texts(app::kTextFileBrowser), false},
              {3, texts(app::kTextPreviewAndBrowser)}};
  }
  return {};
}

OptionChoice ApplyOptionChoice(OptionBar bar, int button, int command,
                               CompareWindowSettings& settings, int& viewMode) {
  // Only what the menu offered counts (a title or a stray command is no choice).
  bool offered = false;
  for (const OptionMenuItem& item : OptionMenu(bar, button, [](int) { return std::wstring(); }))
    offered = offered || (item.enabled && !item.separator && item.command == command);
  if (!offered) return {};

  OptionChoice choice;
  auto store = [&](app::CNamedInt& setting, int value) {
    setting.value = value;
    choice.changed = &setting;
  };
  if (bar == OptionBar::Search) {
    switch (button) {
      case kSearchViewMode:
        viewMode = command - 1;
        choice.viewMode = true;
        break;
      case kSearchSimilarity:
        store(settings.m_similarity, command);
        break;
      case kSearchSubfolders:
        store(settings.m_subfolder, command - 1);
        choice.layout = true;
        break;
    }
  } else if (bar == OptionBar::Match) {
    switch (button) {
      case kMatchCompareMode:
        store(settings.m_compare_mode, command - 1);
        choice.layout = true;
        break;
      case kMatchRule:
        store(settings.m_signature_rule, command);
        break;
      default:
        store(*OrientationSetting(button, settings), command == 1 ? 1 : 0);
        break;
    }
  } else {
    // Never stored: the window opens with picture previews.
    settings.preview_mode.value = command == 1 ? 0 : 2;
    choice.rebuildPreviews = true;
    choice.layout = true;
  }
  return choice;
}

std::wstring OptionLabel(OptionBar bar, int button, const CompareWindowSettings& settings,
                         int viewMode, const engine::TextLookup& texts) {
  if (bar == OptionBar::Search) {
    switch (button) {
      case kSearchViewMode:
        return texts(viewMode == kViewFilePanel ? app::kTextFileBrowser : app::kTextResultList);
      case kSearchSimilarity:
        return Percent(texts, settings.m_similarity.value);
      case kSearchSubfolders:
        return texts(app::kTextSubfolders) + L" " + YesNo(texts, settings.m_subfolder.value);
      case kSearchMagnifier:
        return texts(app::kTextMagnifierButton);
    }
    return {};
  }
  if (bar == OptionBar::Match) {
    switch (button) {
      case kMatchCompareMode:
        return texts(app::kTextOneFolder + settings.m_compare_mode.value);
      case kMatchRule:
        return texts(app::kTextFingerprintFrom + settings.m_signature_rule.value);
      case kMatchRotated:
      case kMatchFlipped:
      case kMatchNegative:
        return texts(OrientationText(button)) + L" " +
               YesNo(texts, OrientationSetting(button, settings)->value);
    }
    return {};
  }
  switch (button) {
    case kPreviewMode:
      return texts(app::kTextPreviewPicture + settings.preview_mode.value);
    case kShowInExplorer:
      return texts(app::kTextShowInExplorer);
    case kDeleteToRecycleBin:
      return texts(app::kTextDelete);
    case kOpenWithProgram:
      return texts(app::kTextOpen);
  }
  return {};
}

}  // namespace comparewindow
