#include "viewing/LupeSettings.h"

#include <optional>

#include "app/LeadingInt.h"

namespace viewing {
namespace {

constexpr wchar_t kSection[] = L"LUPE";

std::optional<int> ReadStored(const app::CMyProfStr& store, const wchar_t* key) {
  const std::wstring text = store.ReadString(kSection, key, L"");
  if (text.empty()) return std::nullopt;
  return app::LeadingInt(text);
}

}  // namespace

bool WriteLupeSettings(app::CMyProfStr& store, const LupeSettings& settings) {
  bool written = store.WriteInt(kSection, L"cx", settings.size.width);
  written &= store.WriteInt(kSection, L"cy", settings.size.height);
  written &= store.WriteInt(kSection, L"zoom", StoredFactor(settings.factor));
  written &= store.WriteInt(kSection, L"zoom_mode", settings.mode);
  written &= store.WriteInt(kSection, L"full_screen", settings.fullScreen ? 1 : 0);
  written &= store.WriteInt(kSection, L"window_border", settings.border ? 1 : 0);
  return written;
}

void ReadLupeSettings(const app::CMyProfStr& store, LupeSettings& settings) {
  if (auto value = ReadStored(store, L"cx")) settings.size.width = *value;
  if (auto value = ReadStored(store, L"cy")) settings.size.height = *value;
  if (auto value = ReadStored(store, L"zoom")) settings.factor = FactorFromStored(*value);
  // A mode from an edited file must not select a style that does not exist.
  if (auto value = ReadStored(store, L"zoom_mode"))
    settings.mode = *value >= 0 && *value < kLupeModeCount ? *value : 0;
  if (auto value = ReadStored(store, L"full_screen")) settings.fullScreen = *value != 0;
  if (auto value = ReadStored(store, L"window_border")) settings.border = *value != 0;
}

}  // namespace viewing
