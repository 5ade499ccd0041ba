#include "app/ProgramInfo.h"

namespace app {
namespace {

std::wstring& Name() {
  static std::wstring name = L"Duplora";
  return name;
}

std::wstring& Version() {
  static std::wstring version = L"2.16";
  return version;
}

}  // namespace

const std::wstring& ProgramName() { return Name(); }
const std::wstring& ProgramVersion() { return Version(); }

void SetProgramIdentity(std::wstring name, std::wstring version) {
  Name() = std::move(name);
  Version() = std::move(version);
}

}  // namespace app
