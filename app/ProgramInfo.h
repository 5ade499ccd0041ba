// The program's name and version, fixed at start and read by the title, the
// settings store (file, section and registry names) and the interface texts.
#pragma once

#include <string>

namespace app {

// "Duplora" and "2.16" until start-up says otherwise.
const std::wstring& ProgramName();
const std::wstring& ProgramVersion();

void SetProgramIdentity(std::wstring name, std::wstring version);

}  // namespace app
