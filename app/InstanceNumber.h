// The number of a running instance: 0 for a start made while no other copy
// runs, and for each start made while one runs, the stored number plus 1. The
// number is kept under "<program name>_Id": in section "Start" of the settings
// file for a portable copy, under the program's registry key otherwise.
// Numbers are not given back when an instance ends.
#pragma once

#include <string>

#include "app/MyProfStr.h"

namespace app {

// "DuploraGUID__31": the named mutex that marks a running instance.
std::wstring InstanceMutexName();
// "Duplora_Id".
std::wstring InstanceNumberKey();

// This start's number, stored for the next start.
int TakeInstanceNumber(CMyProfStr& store, bool anotherRunning);

}  // namespace app
