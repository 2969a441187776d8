# Shared by the command's test scripts against the private scheduler. Source it with the
# command's path as the first argument.
rawlet=$1
sandbox="$RAWLET_SOURCE_DIR/scripts/cups-sandbox"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check_eq() { [[ "$2" == "$3" ]] || fail "$1: expected [$3], got [$2]"; }
new_queue() { "$sandbox" add "$RAWLET_SANDBOX" "$1" >/dev/null || fail "cannot add queue $1"; }

# Runs rawlet, keeping its exit status, standard output and standard error.
run() { "$rawlet" "$@" >"$work/out" 2>"$work/err"; status=$?; }
# The status lines of the last run without their provenance ("[scheduler; 3 ms]"), which
# holds a time.
facts() { sed -E 's/ \[[^]]*\]$//' "$work/out"; }
