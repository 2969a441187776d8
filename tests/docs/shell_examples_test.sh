#!/usr/bin/env bash
# Runs the shell examples of the documentation and the README against the private scheduler, with the
# built rawlet on the PATH, and checks what the printer received.
set -euo pipefail

rawlet_dir=$(dirname "$1")
docs="$RAWLET_SOURCE_DIR/docs"
sandbox="$RAWLET_SOURCE_DIR/scripts/cups-sandbox"
extract="$RAWLET_SOURCE_DIR/scripts/lib/doc-examples.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PATH="$rawlet_dir:$PATH" LANG=en_US.UTF-8 LC_ALL= LC_CTYPE=

job() { od -An -v -tx1 "$RAWLET_SANDBOX/devices/Receipts/job-$1.bin" | tr -d ' \n'; }
hex() { printf "$1" | od -An -v -tx1 | tr -d ' \n'; }
expect_job() {
  [[ "$(job "$1")" == "$(hex "$2")" ]] || { echo "FAIL: $3: job $1 is $(job "$1")" >&2; exit 1; }
}

# The queue the examples print to; the setup example then redefines it as the docs show,
# pointed at the capturing device instead of a network printer.
"$sandbox" add "$RAWLET_SANDBOX" Receipts >/dev/null
port=$(cat "$RAWLET_SANDBOX/devices/Receipts/port")
"$extract" "$docs/cups-queue.md" sh "$work/setup" >/dev/null
sed -i "s/192\.168\.1\.50:9100/127.0.0.1:$port/" "$work/setup/1.sh"
(cd "$work" && bash -e setup/1.sh >/dev/null)

"$extract" "$docs/shell.md" sh "$work/shell" >/dev/null
(cd "$work" && bash -e shell/1.sh >"$work/shell.out")
grep -qx Receipts "$work/shell.out" || { echo "FAIL: rawlet printers did not list Receipts" >&2; exit 1; }
grep -q '^Receipts: ready, ' "$work/shell.out" || { echo "FAIL: rawlet status did not call Receipts ready" >&2; exit 1; }
"$sandbox" wait "$RAWLET_SANDBOX" Receipts 4 60
expect_job 1 'Hello, printer\r\n\f' "print a file"
expect_job 2 '\033@\033E Bold \033F\r\n' "print standard input"
expect_job 3 'Hello, printer\r\n\f' "print --utf8 --translate --wait"
expect_job 4 '\033@' "reset"

"$extract" "$docs/code-pages.md" sh "$work/codepages" >/dev/null
(cd "$work" && bash -e codepages/1.sh)
"$sandbox" wait "$RAWLET_SANDBOX" Receipts 5 60
expect_job 5 'Gr\x81\xe1e\r\n' "translation to 850"
# The README's Linux example, less the package installation the test machine has no need of.
"$extract" "$RAWLET_SOURCE_DIR/README.md" sh "$work/readme" >/dev/null
readme_example=$(grep -l lpadmin "$work"/readme/*.sh)
grep -v '^sudo apt install' "$readme_example" | sed "s/192\.168\.1\.50:9100/127.0.0.1:$port/" >"$work/readme.sh"
(cd "$work" && bash -e readme.sh >/dev/null)
"$sandbox" wait "$RAWLET_SANDBOX" Receipts 6 60
expect_job 6 '\033ECAF\x90\033F\r\nTotal 23,30\r\n\f' "the README's receipt"

# The direct printers' examples, with the configuration the page shows pointed at the device.
"$extract" "$docs/direct-printers.md" sh "$work/direct" >/dev/null
printf 'Receipts socket://127.0.0.1:%s?timeout=5\n' "$port" >"$work/printers.conf"
printf 'Total 23,30\r\n' >"$work/receipt.txt"
sed "s/192\.168\.1\.50:9100/127.0.0.1:$port/" "$work/direct/1.sh" >"$work/direct.sh"
(cd "$work" && RAWLET_PRINTERS=$work/printers.conf bash -e direct.sh >"$work/direct.out")
grep -qE "^Receipts +direct +socket://127.0.0.1:$port\?timeout=5$" "$work/direct.out" \
  || { echo "FAIL: printers --long: $(cat "$work/direct.out")" >&2; exit 1; }
"$sandbox" wait "$RAWLET_SANDBOX" Receipts 8 60
expect_job 7 'Total 23,30\r\n' "print to a device URI"
expect_job 8 'Total 23,30\r\n' "print to a direct printer by name"
echo "documentation shell examples ran as documented"
