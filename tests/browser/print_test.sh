#!/usr/bin/env bash
# A receipt printed from pages in Debian's Chromium, headless, through the client (web/) and
# `rawlet serve` to a capture printer: an allowed page hears `delivered` and the printer holds
# its bytes unchanged; a page of another origin fails and prints nothing; a public page
# reaches the bridge on loopback only once a managed policy allows its site.
set -uo pipefail

command -v chromium >/dev/null || { echo "chromium is not installed: the browser test is skipped" >&2; exit 77; }
source "$(dirname "$0")/../lib/cli.sh"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; stop_fakes; rm -rf "$work"' EXIT

start_fake normal till
till=$work/till
printf 'BrowserTill %s\n' "$uri" >"$work/printers.conf"
: >"$work/bridge.conf"
export RAWLET_PRINTERS=$work/printers.conf RAWLET_BRIDGE_CONF=$work/bridge.conf

# One site, served on two ports: http://127.0.0.1:$site is allowed, http://localhost:$other
# is not, and http://127.0.0.1:$other is allowed but made public below.
site=$(free_port) other=$(free_port) bridge=$(free_port)
mkdir "$work/site"
cp "$(dirname "$0")/print.html" "$source_dir/web/rawlet.js" "$work/site/"
python3 -c 'import sys; sys.stdout.buffer.write(b"\x1b@Rawlet \x00\x1bE" + bytes(range(0x80, 0x100)) + b"\r\n\x0c")' \
  >"$work/site/receipt.bin"
for port in "$site" "$other"; do
  python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/site" >/dev/null 2>&1 &
  pids+=($!)
done
"$rawlet" serve --listen "127.0.0.1:$bridge" --allow "http://127.0.0.1:$site=BrowserTill" \
  --allow "http://127.0.0.1:$other=BrowserTill" 2>"$work/log" &
pids+=($!)
for port in "$site" "$other" "$bridge"; do
  for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
done

# What the page at $1 heard (its title), loaded in a fresh profile with the flags that follow.
page() {
  local url="$1/print.html?bridge=http://127.0.0.1:$bridge&printer=BrowserTill" profile
  shift
  profile=$(mktemp -d -p "$work")
  timeout 30 chromium --headless=new --no-sandbox --disable-gpu --user-data-dir="$profile" \
    --virtual-time-budget=10000 "$@" --dump-dom "$url" 2>>"$work/chromium.log" |
    grep -o '<title>[^<]*</title>' | sed -E 's/<\/?title>//g'
}
jobs_in() { find "$till" -name 'job-*.bin' | wc -l; }

check_eq "allowed page" "$(page "http://127.0.0.1:$site")" delivered
cmp -s "$work/site/receipt.bin" "$till/job-1.bin" || fail "the receipt's bytes changed on the way"

# The browser shows a page no answer its origin may not read: a refusal is unreachable to it.
check_eq "other origin's page" "$(page "http://localhost:$other")" BridgeUnreachable
check_eq "other origin's page printed" "$(jobs_in)" 1
grep -qF "the origin 'http://localhost:$other' is not allowed" "$work/log" || fail "no log line refuses http://localhost:$other"

# A public page needs the user's permission to reach loopback; headless, no one gives it.
public=(--ip-address-space-overrides="127.0.0.1:$other=public")
check_eq "public page" "$(page "http://127.0.0.1:$other" "${public[@]}")" BridgeUnreachable
check_eq "public page printed" "$(jobs_in)" 1
grep -qF "from \"http://127.0.0.1:$other\"" "$work/log" && fail "the public page reached the bridge unasked"

# The managed policy file of docs/web.md lets it, as an administrator pre-approves a
# point-of-sale site. Chromium reads policies from /etc/chromium alone: private user and
# mount namespaces give it one of its own, with no root needed and nothing of the system's
# touched.
mkdir -p "$work/etc/policies/managed"
printf '{"LoopbackNetworkAllowedForUrls": ["%s"], "LocalNetworkAccessAllowedForUrls": ["%s"]}\n' \
  "http://127.0.0.1:$other" "http://127.0.0.1:$other" >"$work/etc/policies/managed/rawlet.json"
export -f page
export work bridge
check_eq "public page with the policy" "$(unshare --user --map-root-user --mount bash -c 'mount --bind "$work/etc" /etc/chromium && page "$@"' \
  - "http://127.0.0.1:$other" "${public[@]}")" delivered
cmp -s "$work/site/receipt.bin" "$till/job-2.bin" || fail "the public page's receipt changed on the way"

exit $((failures > 0))
