#!/bin/sh
# Fails when a Windows program imports a DLL that does not ship with Windows.
objdump=$1; shift
allowed='^(kernel32|user32|gdi32|gdiplus|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|advapi32|winmm|msvcrt|msimg32|uxtheme|dwmapi|version|imm32|ws2_32|bcrypt|ntdll)\.dll$'
status=0
for exe in "$@"; do
  for dll in $("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    if ! echo "$dll" | grep -Eq "$allowed"; then
      echo "$exe imports $dll, which is not part of Windows"
      status=1
    fi
  done
done
exit $status
