// The table of resources that the Linux build embeds, generated at build time
// from the same files the Windows resource script names.
#pragma once

#include <cstddef>

namespace platform {

struct EmbeddedResource {
  const wchar_t* type;
  const wchar_t* name;
  const unsigned char* data;
  size_t size;
};

extern const EmbeddedResource kEmbeddedResources[];
extern const size_t kEmbeddedResourceCount;

}  // namespace platform
