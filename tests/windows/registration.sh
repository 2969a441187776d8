#!/usr/bin/env bash
# regsvr32 and regsvr32 /u of Rawlet.ocx in a fresh Wine prefix, with the registry read
# back key by key before, after registering and after unregistering.
#
#   registration.sh x86|x64 PATH/Rawlet.ocx
set -euo pipefail
source "$(dirname "$0")/../lib/wine.sh"
arch=$1
wine_setup "$arch"
cp "$2" "$WORK/Rawlet.ocx"
ocx=$(winpath "$WORK/Rawlet.ocx")
folder=${ocx%\\*}

clsid='{D66AC52F-3CE0-46DA-8594-9D24F8D25225}'
libid='{E944C441-99C5-45F8-A9EF-1B863B2E81EB}'
iid='{C49B585D-A4AE-4638-8B36-7F24326FDAF1}'
diid='{EC414402-684C-4264-A30E-90221275511E}'
marshaller='{00020424-0000-0000-C000-000000000046}'
platform=win32; [[ $arch == x64 ]] && platform=win64
version=11.0 # the library's 17.0, in hexadecimal as COM keeps type-library versions

# KEY|VALUE NAME (empty: the default value)|DATA, all under HKEY_CLASSES_ROOT.
expected=(
  "Rawleter.Rawlet||Rawlet"
  "Rawleter.Rawlet\\CLSID||$clsid"
  "Rawleter.Rawlet\\CurVer||Rawleter.Rawlet.1"
  "Rawleter.Rawlet.1||Rawlet"
  "Rawleter.Rawlet.1\\CLSID||$clsid"
  "CLSID\\$clsid||Rawlet"
  "CLSID\\$clsid\\InprocServer32||$ocx"
  "CLSID\\$clsid\\InprocServer32|ThreadingModel|Apartment"
  "CLSID\\$clsid\\ProgID||Rawleter.Rawlet.1"
  "CLSID\\$clsid\\VersionIndependentProgID||Rawleter.Rawlet"
  "CLSID\\$clsid\\Control||"
  "CLSID\\$clsid\\MiscStatus\\1||132497"
  "CLSID\\$clsid\\ToolboxBitmap32||$ocx, 30000"
  "CLSID\\$clsid\\TypeLib||$libid"
  "CLSID\\$clsid\\Version||1.0"
  "TypeLib\\$libid\\$version||Rawlet an OCX that make printer to print as into the DOS environment"
  "TypeLib\\$libid\\$version\\0\\$platform||$ocx"
  "TypeLib\\$libid\\$version\\FLAGS||2"
  "TypeLib\\$libid\\$version\\HELPDIR||$folder"
  "Interface\\$iid||_Rawlet"
  "Interface\\$iid\\ProxyStubClsid32||$marshaller"
  "Interface\\$iid\\TypeLib||$libid"
  "Interface\\$iid\\TypeLib|Version|$version"
  "Interface\\$diid||__Rawlet"
  "Interface\\$diid\\ProxyStubClsid32||$marshaller"
  "Interface\\$diid\\TypeLib||$libid"
)
# Every key registration creates at the top of its tree; none may be left behind.
roots=("Rawleter.Rawlet" "Rawleter.Rawlet.1" "CLSID\\$clsid" "TypeLib\\$libid"
       "Interface\\$iid" "Interface\\$diid")

# Prints the data of one value as reg.exe shows it; fails when key or value is missing.
read_value() {
  local key=$1 name=$2 output
  if [[ -z $name ]]; then
    output=$(sys reg.exe query "HKCR\\$key" /ve 2>/dev/null) || return 1
  else
    output=$(sys reg.exe query "HKCR\\$key" /v "$name" 2>/dev/null) || return 1
  fi
  local label=${name:-"(Default)"} line
  while IFS= read -r line; do
    line=${line%$'\r'}
    if [[ $line == "    $label    REG_SZ"* ]]; then
      line=${line#"    $label    REG_SZ"}
      printf '%s\n' "${line#    }"
      return 0
    fi
  done <<<"$output"
  return 1
}

key_exists() { sys reg.exe query "HKCR\\$1" >/dev/null 2>&1; }

check_absent() {
  local root
  for root in "${roots[@]}"; do
    ! key_exists "$root" || fail "HKCR\\$root exists $1"
  done
}

check_absent "before registering"

sys regsvr32.exe /s "$ocx" || fail "regsvr32 failed ($?)"
for entry in "${expected[@]}"; do
  IFS='|' read -r key name data <<<"$entry"
  actual=$(read_value "$key" "$name") || fail "HKCR\\$key ${name:-(default)} is missing after registering"
  [[ $actual == "$data" ]] || fail "HKCR\\$key ${name:-(default)} is '$actual', expected '$data'"
done
echo "registered: ${#expected[@]} values as expected"

# Not marked safe for scripting or for initialisation: no component category of the class
# says so, so no web page can drive the control unasked.
listing=$(sys reg.exe query "HKCR\\CLSID\\$clsid" /s 2>/dev/null) || fail "could not list the class's keys"
[[ $listing == *InprocServer32* ]] || fail "the listing of the class's keys is incomplete: $listing"
for category in 7DD95801-9882-11CF-9FA9-00AA006C42C4 7DD95802-9882-11CF-9FA9-00AA006C42C4; do
  [[ ${listing^^} != *$category* ]] || fail "the class is registered in the safe category {$category}"
done
echo "registered in no safe-for-scripting or safe-for-initialising category"

sys regsvr32.exe /s /u "$ocx" || fail "regsvr32 /u failed ($?)"
check_absent "after unregistering"
echo "unregistered: ${#roots[@]} key trees gone"

# Unregistering twice is harmless, and registering again works after it.
sys regsvr32.exe /s /u "$ocx" || fail "a second regsvr32 /u failed ($?)"
sys regsvr32.exe /s "$ocx" || fail "registering again failed ($?)"
[[ $(read_value "CLSID\\$clsid\\InprocServer32" "") == "$ocx" ]] || fail "registering again wrote no class"
echo "PASS"
