#include "comparewindow/CompareWindowSettings.h"

namespace comparewindow {

void CompareWindowSettings::Load(const app::CMyProfStr& store) {
  for (app::CNamedInt* setting :
       {&m_ShowListToolbar, &m_signature_rule, &m_search_rotated, &m_search_flipped,
        &m_search_negative, &m_compare_mode, &m_similarity, &m_subfolder})
    setting->Load(store);
}

engine::CompareSettings CompareWindowSettings::ToCompareSettings() const {
  engine::CompareSettings settings;
  settings.m_similarity = m_similarity.value;
  settings.m_search_rotated = m_search_rotated.value;
  settings.m_search_flipped = m_search_flipped.value;
  settings.m_search_negative = m_search_negative.value;
  settings.m_signature_rule = m_signature_rule.value;
  settings.m_compare_mode = m_compare_mode.value;
  settings.m_subfolder = m_subfolder.value;
  return settings;
}

}  // namespace comparewindow
