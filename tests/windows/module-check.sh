#!/usr/bin/env bash
# Checks Rawlet.ocx as a file, without running it (so for both architectures on any
# machine): the four entry points exported under their plain names, and imports from
# Windows system DLLs only, since the control is copied onto machines with nothing else
# (Winsock and its extensions, and SetupAPI, for the direct printers among them).
#
#   module-check.sh x86|x64 PATH/Rawlet.ocx
set -euo pipefail
arch=$1 ocx=$2
case $arch in
  x86) objdump=i686-w64-mingw32-objdump; format=pei-i386 ;;
  x64) objdump=x86_64-w64-mingw32-objdump; format=pei-x86-64 ;;
esac
fail() { echo "FAIL: $*" >&2; exit 1; }

headers=$("$objdump" -p "$ocx")
grep -q "file format $format" <<<"$headers" || fail "$ocx is not a $arch module"
characteristics=$(awk '$1 == "Characteristics" {print $2; exit}' <<<"$headers")
(( characteristics & 0x2000 )) || fail "$ocx is not a DLL (characteristics $characteristics)"

exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" | grep -E '^[[:space:]]+\[' |
  awk '{print $NF}' | sort | tr '\n' ' ')
[[ $exports == "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer " ]] ||
  fail "exports are '$exports'"

system='^(ADVAPI32|GDI32|KERNEL32|USER32|OLE32|OLEAUT32|MSVCRT|WS2_32|MSWSOCK|SETUPAPI|IPHLPAPI)\.DLL$|^WINSPOOL\.DRV$'
imports=$(grep 'DLL Name:' <<<"$headers" | awk '{print toupper($3)}')
[[ -n $imports ]] || fail "no imports found"
while read -r dll; do
  [[ $dll =~ $system ]] || fail "imports $dll, which Windows does not ship"
done <<<"$imports"
echo "PASS: exports $exports; imports $(tr '\n' ' ' <<<"$imports")"
