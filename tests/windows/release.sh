#!/usr/bin/env bash
# The Windows release as a user takes it: the zip unpacked in a fresh Wine prefix,
# register.cmd, the VBScript examples of the documentation and the README printing through CUPS,
# unregister.cmd, and a registry with nothing of Rawlet left.
#
#   release.sh x86|x64 BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/../lib/wine.sh"
wine_setup "$1"
build=$2
docs=$(cd "$(dirname "$0")/../../docs" && pwd)

(cd "$build" && cpack -B "$WORK/zip" >/dev/null)
zip=$(ls "$WORK"/zip/Rawlet-*.zip)
python3 -m zipfile -e "$zip" "$WORK/unpacked"
folder=$(ls -d "$WORK"/unpacked/Rawlet-*)
for file in Rawlet.ocx Rawlet.tlb rawlet.exe register.cmd unregister.cmd README.txt LICENSE.txt printers.conf.sample; do
  [[ -f $folder/$file ]] || fail "$(basename "$zip") has no $file"
done

CUPS_DIR=$WORK/cups
export "$("$SCRIPTS/cups-sandbox" start "$CUPS_DIR" Receipts | tail -1)"
# Wine takes its code pages from the locale's name: en_US gives 1252 and 437.
sys() { local program=$1; shift; LC_ALL=en_US.UTF-8 "$WINE" "$SYSDIR\\$program" "$@"; }
registered() { sys reg.exe query 'HKCR\Rawleter.Rawlet' >/dev/null 2>&1; }

# The command in the zip runs, lists the printers, and carries the release's version.
version=$(basename "$zip" | sed -E 's/^Rawlet-(.*)-win(32|64)\.zip$/\1/')
output=$(LC_ALL=en_US.UTF-8 "$WINE" "$(winpath "$folder/rawlet.exe")" --version 2>&1 | tr -d '\r')
[[ $output == "rawlet $version" ]] || fail "rawlet.exe --version said: $output (the zip is $version)"
output=$(LC_ALL=en_US.UTF-8 "$WINE" "$(winpath "$folder/rawlet.exe")" printers 2>&1 | tr -d '\r')
[[ $output == *Receipts* ]] || fail "rawlet.exe printers said: $output"

registered && fail "Rawlet is registered before register.cmd ran"
output=$(sys cmd.exe /c "$(winpath "$folder/register.cmd")" 2>&1 | tr -d '\r')
[[ $output == *"Rawlet.ocx is registered"* ]] || fail "register.cmd said: $output"
registered || fail "register.cmd did not register Rawleter.Rawlet"

# The documentation's examples, saved as a user's editor saves them: in the ANSI code page.
"$SCRIPTS/lib/doc-examples.py" "$docs/vbscript.md" vbscript "$WORK/examples" >/dev/null
for example in "$WORK"/examples/*.vbscript; do
  iconv -f UTF-8 -t CP1252 "$example" >"${example%.vbscript}.vbs"
done
sys cscript.exe //nologo "$(winpath "$WORK/examples/1.vbs")" || fail "the receipt example failed"
output=$(sys cscript.exe //nologo "$(winpath "$WORK/examples/2.vbs")" 2>&1 | tr -d '\r')
[[ $output == "Error 32000 (Rawleter): The printer name is not valid" ]] || fail "the error example said: $output"
"$SCRIPTS/cups-sandbox" wait "$CUPS_DIR" Receipts 1 60
got=$(od -An -v -tx1 "$CUPS_DIR/devices/Receipts/job-1.bin" | tr -d ' \n')
want=$(printf '\033ECaf\x82 M\x81ller\033F\r\nTotal 23,30\r\n\f' | od -An -v -tx1 | tr -d ' \n')
[[ $got == "$want" ]] || fail "the receipt example printed $got, expected $want"

# The README's example too.
"$SCRIPTS/lib/doc-examples.py" "$docs/../README.md" vbscript "$WORK/readme" >/dev/null
iconv -f UTF-8 -t CP1252 "$WORK/readme/1.vbscript" >"$WORK/readme/1.vbs"
sys cscript.exe //nologo "$(winpath "$WORK/readme/1.vbs")" || fail "the README's example failed"
"$SCRIPTS/cups-sandbox" wait "$CUPS_DIR" Receipts 2 60
got=$(od -An -v -tx1 "$CUPS_DIR/devices/Receipts/job-2.bin" | tr -d ' \n')
want=$(printf '\033ECAF\x90\033F\r\nTotal 23,30\r\n\f' | od -An -v -tx1 | tr -d ' \n')
[[ $got == "$want" ]] || fail "the README's example printed $got, expected $want"

output=$(sys cmd.exe /c "$(winpath "$folder/unregister.cmd")" 2>&1 | tr -d '\r')
[[ $output == *"no longer registered"* ]] || fail "unregister.cmd said: $output"
registered && fail "unregister.cmd left Rawleter.Rawlet registered"
for key in 'HKCR\Rawleter.Rawlet.1' 'HKCR\CLSID\{D66AC52F-3CE0-46DA-8594-9D24F8D25225}' \
           'HKCR\TypeLib\{E944C441-99C5-45F8-A9EF-1B863B2E81EB}'; do
  sys reg.exe query "$key" >/dev/null 2>&1 && fail "unregister.cmd left $key"
done
echo "PASS: $(basename "$zip") unpacked, registered, printed the documented examples, unregistered"
