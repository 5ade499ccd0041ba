#include "app/InstanceNumber.h"

#include "app/ProgramInfo.h"

namespace app {

std::wstring InstanceMutexName() { return ProgramName() + L"GUID__31"; }

std::wstring InstanceNumberKey() { return ProgramName() + L"_Id"; }

int TakeInstanceNumber(CMyProfStr& store, bool anotherRunning) {
  const std::wstring key = InstanceNumberKey();
  int number = 0;
  if (anotherRunning)
    number = (store.IsPortable() ? store.ReadInt(L"Start", key, 0) : store.RegReadInt(key, 0)) + 1;
  if (store.IsPortable())
    store.WriteInt(L"Start", key, number);
  else
    store.RegWriteInt(key, number);
  return number;
}

}  // namespace app
