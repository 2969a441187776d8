# Shared by the command's test scripts that run a private scheduler of their own, since they
# stop, pause or restart it. Source it with the command's path, then what `cups-sandbox start`
# takes after its folder (options, queues): it starts the scheduler in $own_sandbox, exports
# its CUPS_SERVER, and stops it on exit.
source "$(dirname "${BASH_SOURCE[0]}")/cli.sh" "$1"
shift
chmod 0755 "$work" # the scheduler runs as lp and reads its configuration below
own_sandbox=$work/cups
devices=$own_sandbox/devices
trap '"$sandbox" stop "$own_sandbox"; rm -rf "$work"' EXIT
export "$("$sandbox" start "$own_sandbox" "$@" | tail -1)"

ok() { echo "ok   $*"; }
# How many jobs QUEUE's device holds.
jobs_held() { "$sandbox" jobs "$own_sandbox" "$1" | grep -c .; }
