# Shared by the command's test scripts against the private scheduler. Source it with the
# command's path as the first argument.
rawlet=$1
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
sandbox="$source_dir/scripts/cups-sandbox"
fake_printer="$source_dir/scripts/lib/fake-printer"
work=$(mktemp -d)
fakes=()
trap 'stop_fakes; rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check_eq() { [[ "$2" == "$3" ]] || fail "$1: expected [$3], got [$2]"; }
new_queue() { "$sandbox" add "$RAWLET_SANDBOX" "$1" >/dev/null || fail "cannot add queue $1"; }

# Runs rawlet, keeping its exit status, standard output and standard error.
run() { "$rawlet" "$@" >"$work/out" 2>"$work/err"; status=$?; }
# The same for at most $1 seconds: a run past them fails as a timeout (status 124).
within() { local seconds=$1; shift; timeout "$seconds" "$rawlet" "$@" >"$work/out" 2>"$work/err"; status=$?; }
# The status lines of the last run without their provenance ("[scheduler; 3 ms]"), which
# holds a time.
facts() { sed -E 's/ \[[^]]*\]$//' "$work/out"; }

# A loopback port that nothing listens on, for a server to take or a printer that is not there.
free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

# Starts a fake printer (scripts/lib/fake_printer.py, or the IPP printer for MODE ipp) in
# MODE in the folder $work/NAME; sets $port, and $uri to reach it over AppSocket. It ends
# with the script.
start_fake() {
  port=$("$fake_printer" start "$1" "$work/$2") || fail "the fake printer $1 did not start"
  fakes+=("$work/$2")
  uri="socket://127.0.0.1:$port"
}
stop_fakes() { (( ${#fakes[@]} == 0 )) || "$fake_printer" stop "${fakes[@]}"; }
