#!/usr/bin/env bash
# The pages' client (web/) with node's own test runner, against the real `rawlet serve`
# given as the first argument; skipped where node is not installed.
command -v node >/dev/null || { echo "node is not installed: the client's tests are skipped" >&2; exit 77; }
RAWLET=$1 exec node --test "$(dirname "$0")/client.test.mjs"
