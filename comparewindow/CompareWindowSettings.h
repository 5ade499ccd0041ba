// The ten settings of the compare window, each an integer with its key in
// the program's main settings section.
//
//   CompareWindowSettings options;
//   options.Load(app::Settings());         // when the window opens
//   options.m_similarity.value = 85;
//   options.m_similarity.Save();           // as soon as the user changed it
//
// "m_LeftRightSel" and "preview_mode" are never read or written: they start
// at their defaults each time the window opens.
#pragma once

#include "app/MyProfStr.h"
#include "engine/CompareSettings.h"

namespace comparewindow {

struct CompareWindowSettings {
  app::CNamedInt m_subfolder{L"m_subfolder", 1};
  app::CNamedInt m_compare_mode{L"m_compare_mode", 0};
  app::CNamedInt preview_mode{L"preview_mode", 0};
  app::CNamedInt m_signature_rule{L"m_signature_rule", 1};
  app::CNamedInt m_search_negative{L"m_search_negative", 0};
  app::CNamedInt m_search_flipped{L"m_search_flipped", 0};
  app::CNamedInt m_search_rotated{L"m_search_rotated", 0};
  app::CNamedInt m_similarity{L"m_similarity", 90};
  app::CNamedInt m_LeftRightSel{L"m_LeftRightSel", 1};
  app::CNamedInt m_ShowListToolbar{L"m_ShowListToolbar", 1};

  // Reads the stored settings, without range check, in the window's order.
  void Load(const app::CMyProfStr& store);

  bool TwoFolders() const { return m_compare_mode.value == 1; }

  // The options of a search run (its paths are set by the run's folder check).
  engine::CompareSettings ToCompareSettings() const;
};

}  // namespace comparewindow
