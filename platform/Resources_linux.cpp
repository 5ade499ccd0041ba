#include "platform/EmbeddedResources_linux.h"
#include "platform/Resources.h"
#include "platform/Text.h"

namespace platform {

std::optional<std::string_view> ProgramResource(std::wstring_view type, std::wstring_view name) {
  // Resource names and types are found without regard to letter case, as on Windows.
  const std::wstring wantedType = ToLower(type), wantedName = ToLower(name);
  for (size_t i = 0; i < kEmbeddedResourceCount; ++i) {
    const EmbeddedResource& r = kEmbeddedResources[i];
    if (ToLower(r.type) == wantedType && ToLower(r.name) == wantedName)
      return std::string_view(reinterpret_cast<const char*>(r.data), r.size);
  }
  return std::nullopt;
}

}  // namespace platform
