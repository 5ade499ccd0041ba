// Data carried inside the program file. On Windows these are the resources
// of the executable (type and name as in the .rc script); the Linux build
// embeds the same files as a generated table.
#pragma once

#include <optional>
#include <string_view>

namespace platform {

// The bytes of a resource, valid for the life of the process; nothing when
// the program carries no such resource.
std::optional<std::string_view> ProgramResource(std::wstring_view type, std::wstring_view name);

}  // namespace platform
