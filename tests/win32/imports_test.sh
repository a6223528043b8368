#!/bin/sh
# Checks that a Windows program imports nothing but Windows' own DLLs, so
# that it runs from a bare folder: imports_test.sh OBJDUMP PROGRAM.exe
set -eu
objdump=$1
program=$2
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|ole32|oleaut32|oleacc|windowscodecs|shell32|advapi32|msvcrt|ws2_32|bcrypt|api-ms-win-crt-[a-z0-9-]+)\.dll$'
dlls=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "no import table read from $program"; exit 1; }
bad=$(printf '%s\n' "$dlls" | grep -Ev "$allowed" || true)
if [ -n "$bad" ]; then
  echo "$program imports DLLs that Windows does not have:"
  printf '  %s\n' $bad
  exit 1
fi
echo "$program imports only: $(printf '%s ' $dlls)"
