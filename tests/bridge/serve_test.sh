#!/usr/bin/env bash
# `rawlet serve` attacked with curl as a page, or any program, would: what an allowed page
# hears and what reaches the printers, and every refusal, after which the printers hold
# nothing new.
set -uo pipefail

source "$(dirname "$0")/../lib/cli.sh"
serve_pid=""
trap '[[ -n $serve_pid ]] && kill "$serve_pid"; stop_fakes; rm -rf "$work"' EXIT

# The printers have names of their own: the shared scheduler may hold queues named as
# other tests name theirs, which a name the allow list gives would match too.
shop=https://pos.example.com kiosk=https://kiosk.example.com
start_fake normal receipts
receipts=$work/receipts
start_fake normal office
office_uri=$uri
new_queue bridge-queue
start_fake slow:20000 slow
printf 'Till socket://127.0.0.1:%s\nOffice %s\nGone socket://127.0.0.1:%s\nSlow %s\n' "$(cat "$receipts/port")" \
  "$office_uri" "$(free_port)" "$uri" >"$work/printers.conf"
export RAWLET_PRINTERS=$work/printers.conf RAWLET_BRIDGE_CONF=$work/bridge.conf
printf 'allow https://labels.example.com=Office\n' >"$work/bridge.conf"

port=$(free_port)
bridge=http://127.0.0.1:$port
"$rawlet" serve --listen "127.0.0.1:$port" --allow "$shop=Till,bridge-queue,Gone" \
  --allow "$kiosk=Slow" 2>"$work/log" &
serve_pid=$!
for _ in $(seq 100); do curl -s -o /dev/null "$bridge/" && break; sleep 0.1; done

jobs_in() { find "$1" -name 'job-*.bin' | wc -l; }
# A request with curl: its status in $code, its headers in $work/headers, its body in $work/body.
http() { code=$(curl -s -m 30 -o "$work/body" -D "$work/headers" -w '%{http_code}' "$@"); }
header() { grep -i "^$1:" "$work/headers" | tr -d '\r' | cut -d' ' -f2-; }
post() { http -H 'Content-Type: application/octet-stream' --data-binary "@$work/receipt.bin" "$@"; }
# The printers hold what they held after the first job: nothing new.
printed_nothing() { check_eq "$1 printed nothing" "$(jobs_in "$receipts"):$(jobs_in "$work/office")" "1:0"; }
# Refused with STATUS, and CORS for ORIGIN alone (none when not given); nothing printed.
refused() {
  check_eq "$1 status" "$code" "$2"
  check_eq "$1 CORS" "$(header Access-Control-Allow-Origin)" "${3:-}"
  printed_nothing "$1"
}

# An allowed page prints every byte value unchanged, and hears that the printer took them.
python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) * 4)' >"$work/receipt.bin"
post -H "Origin: $shop" "$bridge/v1/printers/Till/jobs?title=Till%201"
check_eq "allowed job" "$code:$(cat "$work/body")" \
  '200:{"outcome": "delivered", "job": "Till", "bytes": 1024, "reason": "", "error": 0}'
check_eq "allowed job CORS" "$(header Access-Control-Allow-Origin):$(header Vary)" "$shop:Origin"
cmp -s "$work/receipt.bin" "$receipts/job-1.bin" || fail "the receipt's bytes changed on the way"
# A queue, waited for: printed.
post -H "Origin: $shop" "$bridge/v1/printers/bridge-queue/jobs?wait=1"
check_eq "queued job" "$code:$(grep -o '"outcome": "[a-z-]*"' "$work/body")" '200:"outcome": "printed"'
cmp -s "$work/receipt.bin" "$RAWLET_SANDBOX/devices/bridge-queue/job-1.bin" || fail "the queue's bytes changed"

# A printer that refuses: not printed, and why, but not where the printer is.
post -H "Origin: $shop" "$bridge/v1/printers/Gone/jobs"
check_eq "refused job" "$code:$(cat "$work/body")" \
  '200:{"outcome": "not-printed", "job": "", "bytes": 0, "reason": "Gone: connection refused", "error": 32036}'

# The printers an origin may use, without their URIs; the allow lines of bridge.conf count.
http -H "Origin: $shop" "$bridge/v1/printers"
check_eq "printers" "$code:$(cat "$work/body")" \
  '200:{"printers": [{"name": "bridge-queue", "kind": "queue"}, {"name": "Till", "kind": "direct"}, {"name": "Gone", "kind": "direct"}]}'
http -H "Origin: https://labels.example.com" "$bridge/v1/printers"
check_eq "printers of bridge.conf" "$code:$(cat "$work/body")" '200:{"printers": [{"name": "Office", "kind": "direct"}]}'
http -H "Origin: $shop" "$bridge/v1/printers/Till/status"
grep -q '^{"name": "Till", "ready": true, ' "$work/body" || fail "status: $(cat "$work/body")"

# Other callers: no origin, "null", another origin, a rebound name, print nothing.
post "$bridge/v1/printers/Till/jobs"
refused "no origin" 403
post -H "Origin: null" "$bridge/v1/printers/Till/jobs"
refused "null origin" 403
post -H "Origin: https://evil.example" "$bridge/v1/printers/Till/jobs"
refused "other origin" 403
post -H "Origin: $shop" -H "Host: rebound.example.com:$port" "$bridge/v1/printers/Till/jobs"
refused "rebound host" 403

# An allowed page still reaches no printer outside its entry, and no device.
post -H "Origin: $shop" "$bridge/v1/printers/Office/jobs"
refused "printer not allowed" 403 "$shop"
post -H "Origin: $shop" "$bridge/v1/printers/$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$office_uri")/jobs"
refused "escaped device URI" 403 "$shop"
post -H "Origin: $shop" --path-as-is "$bridge/v1/printers/$office_uri/jobs"
refused "device URI" 403 "$shop"

# A plain form post, a body over the limit, and a client that trickles print nothing.
http -H "Origin: $shop" -H 'Content-Type: text/plain' --data-binary "@$work/receipt.bin" "$bridge/v1/printers/Till/jobs"
refused "form post" 400 "$shop"
head -c $((4 * 1024 * 1024 + 1)) /dev/zero >"$work/receipt.bin"
post -H "Origin: $shop" "$bridge/v1/printers/Till/jobs"
refused "large body" 413 "$shop"
timeout 30 python3 - "$port" "$shop" <<'PY' || fail "a trickling client was not cut off"
import socket, sys, time
port, origin = int(sys.argv[1]), sys.argv[2]
client = socket.create_connection(("127.0.0.1", port))
client.sendall(f"POST /v1/printers/Till/jobs HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nOrigin: {origin}\r\n"
               "Content-Type: application/octet-stream\r\nContent-Length: 100\r\n\r\n".encode())
try:
    for _ in range(100):  # 50 s of trickling, were it not cut off
        client.sendall(b"x")
        time.sleep(0.5)
except OSError:
    sys.exit(0)
sys.exit(1)
PY
printed_nothing "trickling client"
# A chunk extension that never ends is refused once it is over the bound, not kept in memory.
timeout 30 python3 - "$port" "$shop" <<'PY'
import socket, sys
port, origin = int(sys.argv[1]), sys.argv[2]
client = socket.create_connection(("127.0.0.1", port))
client.sendall(f"POST /v1/printers/Till/jobs HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nOrigin: {origin}\r\n"
               "Content-Type: application/octet-stream\r\nTransfer-Encoding: chunked\r\n\r\n1;x=".encode())
try:
    for _ in range(64):  # 64 MiB, far over any chunk's header
        client.sendall(b"a" * (1 << 20))
except OSError:
    pass
PY
printed_nothing "endless chunk extension"

# Connections are bounded: past 32 open at once (from two addresses, each under its own
# bound), one is closed as it comes, and the bridge serves again once they end.
timeout 30 python3 - "$port" <<'PY' || fail "a connection past the limit was kept"
import socket, sys
port = int(sys.argv[1])
held = [socket.create_connection(("127.0.0.1", port), source_address=(f"127.0.0.{2 + i % 2}", 0)) for i in range(32)]
extra = socket.create_connection(("127.0.0.1", port), source_address=("127.0.0.4", 0))
extra.settimeout(3)
sys.exit(0 if extra.recv(1) == b"" else 1)
PY
serves_again() {
  for _ in $(seq 50); do
    http -H "Origin: $shop" "$bridge/v1/printers"
    [[ $code == 200 ]] && break
    sleep 0.1 # the ended connections may not all be counted out yet
  done
  check_eq "$1" "$code" 200
}
serves_again "after the connections ended"
# One client address holds 24 at most: the others still reach the bridge.
timeout 30 python3 - "$port" "$shop" <<'PY' || fail "one client took the slots of others"
import socket, sys
port, origin = int(sys.argv[1]), sys.argv[2]
connect = lambda source: socket.create_connection(("127.0.0.1", port), source_address=(source, 0), timeout=3)
held = [connect("127.0.0.2") for _ in range(24)]
if connect("127.0.0.2").recv(1) != b"":
    sys.exit(1)
other = connect("127.0.0.3")
other.sendall(f"GET /v1/printers HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nOrigin: {origin}\r\n\r\n".encode())
sys.exit(0 if other.recv(12) == b"HTTP/1.1 200" else 1)
PY
serves_again "after one client's connections ended"

# A connection is kept for the client's next request, as browsers keep theirs: a listing, then
# a job on the same connection. It is closed after a refusal that left its body unread, and
# after 5 seconds without a request.
kept=$(timeout 30 python3 - "$port" "$shop" "$receipts" <<'PY'
import http.client, json, pathlib, sys
port, origin, receipts = int(sys.argv[1]), sys.argv[2], pathlib.Path(sys.argv[3])
def ask(connection, method, target, origin, body=None):
    headers = {"Origin": origin} | ({"Content-Type": "application/octet-stream"} if body else {})
    connection.request(method, target, body, headers)
    answer = connection.getresponse()
    return answer, answer.read()
def kept(answer):
    return "closed" if answer.will_close else answer.getheader("Keep-Alive")
connection = http.client.HTTPConnection("127.0.0.1", port, timeout=15)
listing, _ = ask(connection, "GET", "/v1/printers", origin)
first = connection.sock
job, outcome = ask(connection, "POST", "/v1/printers/Till/jobs", origin, b"kept\r\n")
same = "same" if connection.sock is first else "another"
held = sum(path.read_bytes() == b"kept\r\n" for path in receipts.glob("job-*.bin"))
refused, _ = ask(connection, "POST", "/v1/printers/Till/jobs", "https://evil.example", b"x" * 100)
idle = http.client.HTTPConnection("127.0.0.1", port, timeout=15)
ask(idle, "GET", "/v1/printers", origin)
print(f"listing {listing.status} {kept(listing)}; job {job.status} {same} {json.loads(outcome)['outcome']} {held};",
      f"refused {refused.status} {kept(refused)}; idle {'closed' if idle.sock.recv(1) == b'' else 'open'}")
PY
)
check_eq "kept connection" "$kept" \
  'listing 200 timeout=5; job 200 same delivered 1; refused 403 closed; idle closed'
# A body in a Transfer-Encoding other than chunked alone is refused, and its connection closed:
# neither its coded bytes nor a request hidden in them print.
held=$(jobs_in "$receipts")
coded=$(timeout 30 python3 - "$port" "$shop" <<'PY'
import socket, sys
port, origin = int(sys.argv[1]), sys.argv[2]
head = (f"POST /v1/printers/Till/jobs HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nOrigin: {origin}\r\n"
        "Content-Type: application/octet-stream\r\n")
hidden = head + "Content-Length: 8\r\n\r\nhidden\r\n"
answers = []
for coding, body in [("gzip", hidden), ("gzip, chunked", f"{len(hidden):x}\r\n{hidden}\r\n0\r\n\r\n")]:
    client = socket.create_connection(("127.0.0.1", port), timeout=10)
    client.sendall(f"{head}Transfer-Encoding: {coding}\r\n\r\n{body}".encode())
    answer = b""
    while chunk := client.recv(4096):
        answer += chunk
    answers.append(f"{answer.split()[1].decode()} {answer.count(b'HTTP/1.1')}")
print("; ".join(answers))
PY
)
check_eq "coded body" "$coded:$(jobs_in "$receipts")" "400 1; 400 1:$held"

# Preflights: answered for the allowed origin only, with Private Network Access when asked.
preflight() { http -X OPTIONS -H "Access-Control-Request-Method: POST" "$@" "$bridge/v1/printers/Till/jobs"; }
preflight -H "Origin: $shop" -H "Access-Control-Request-Private-Network: true"
check_eq "preflight" "$code:$(header Access-Control-Allow-Origin):$(header Access-Control-Allow-Private-Network)" \
  "204:$shop:true"
preflight -H "Origin: $shop"
check_eq "preflight without PNA" "$code:$(header Access-Control-Allow-Origin):$(header Access-Control-Allow-Private-Network)" \
  "204:$shop:"
preflight -H "Origin: https://evil.example" -H "Access-Control-Request-Private-Network: true"
check_eq "foreign preflight" "$code:$(header Access-Control-Allow-Origin):$(header Access-Control-Allow-Private-Network)" \
  "403::"

# Each refusal is a line on standard error that says why.
for why in "no Origin" "the origin 'null' is not allowed" "the origin 'https://evil.example' is not allowed" \
  "the Host 'rebound.example.com:$port'" "the printer 'Office' is not allowed" "is a device or a path" \
  "not text/plain" "is over the limit" "cut off" "a chunk's header is over" "refused a connection: 32 are open already" \
  "refused a connection from 127.0.0.2: 24 are open from there already"; do
  grep -qF "$why" "$work/log" || fail "no log line says: $why"
done

# A bridge out of descriptors says so, pausing instead of trying again at once, and serves
# again once connections end.
starved_port=$(free_port)
(ulimit -n 16 && exec "$rawlet" serve --listen "127.0.0.1:$starved_port" --allow "$shop" 2>"$work/starved.log") &
starved_pid=$!
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$starved_port/" && break; sleep 0.1; done
timeout 30 python3 - "$starved_port" <<'PY' || fail "the starved bridge could not be reached"
import socket, sys, time
held = [socket.create_connection(("127.0.0.1", int(sys.argv[1]))) for _ in range(20)]
time.sleep(0.5)  # for the bridge to try the connections it cannot take
PY
http -H "Origin: $shop" "http://127.0.0.1:$starved_port/v1/printers"
check_eq "starved bridge afterwards" "$code" 200
kill -TERM "$starved_pid"
wait "$starved_pid"
grep -q "cannot take a connection: Too many open files" "$work/starved.log" || fail "no log line says the bridge was out of descriptors"

# A second bridge on the same port does not start.
within 10 serve --listen "127.0.0.1:$port" --allow "$shop"
check_eq "port taken" "$status:$(cat "$work/err")" "1:rawlet: cannot listen on 127.0.0.1 port $port: Address already in use"

# Started by systemd on the first connection to a socket it holds (rawlet.socket), the bridge
# serves on that socket; on a socket beyond loopback it does not start.
# activate PORT HOST: the bridge under systemd-socket-activate, once that listens; the
# environment reaches the bridge only as -E names it.
activate() {
  timeout 30 systemd-socket-activate -l "$2:$1" -E RAWLET_PRINTERS -E RAWLET_BRIDGE_CONF \
    "$rawlet" serve --allow "$shop=Till" 2>"$work/activated.log" &
  activated=$!
  for _ in $(seq 100); do grep -q '^Listening' "$work/activated.log" && break; sleep 0.1; done
}
activated_port=$(free_port)
activate "$activated_port" 127.0.0.1
http -H "Origin: $shop" "http://127.0.0.1:$activated_port/v1/printers"
check_eq "started by systemd" "$code:$(cat "$work/body")" '200:{"printers": [{"name": "Till", "kind": "direct"}]}'
kill -TERM "$activated"
wait "$activated"
grep -q "^rawlet serve: listening on port $activated_port of 127.0.0.1, sockets from systemd" "$work/activated.log" ||
  fail "the bridge started by systemd did not say where it listens"
activate "$activated_port" 0.0.0.0
curl -s -m 10 -o /dev/null "http://127.0.0.1:$activated_port/"
wait "$activated"
check_eq "started by systemd beyond loopback" "$?:$(tail -1 "$work/activated.log")" \
  "1:rawlet: the socket systemd passed as descriptor 3 listens on 0.0.0.0: the bridge listens on loopback only (127.0.0.1 or [::1])"

# SIGTERM while a page waits for its job to print: the job is cancelled, as Ctrl-C cancels
# `rawlet print --wait`'s, and the bridge ends within the command's bounds, not the wait's minute.
echo hold >"$RAWLET_SANDBOX/devices/bridge-queue/mode"
printf 'waited for\r\n' >"$work/receipt.bin"
waiting_port=$(free_port)
"$rawlet" serve --listen "127.0.0.1:$waiting_port" --allow "$shop" 2>"$work/waiting.log" &
waiting_pid=$!
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$waiting_port/" && break; sleep 0.1; done
rm -f "$work/headers" "$work/body"
post -H "Origin: $shop" "http://127.0.0.1:$waiting_port/v1/printers/bridge-queue/jobs?wait=1" &
client=$!
for _ in $(seq 100); do [[ -e $RAWLET_SANDBOX/devices/bridge-queue/job-2.bin ]] && break; sleep 0.1; done
kill -TERM "$waiting_pid"
for _ in $(seq 50); do kill -0 "$waiting_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$waiting_pid" 2>/dev/null && fail "a waited job kept the bridge up 5 s after SIGTERM" && kill -KILL "$waiting_pid"
wait "$client"
check_eq "waited job at SIGTERM" "$(tr -d '\r' <"$work/headers" | head -1 | cut -d' ' -f2):$(grep -o '"outcome": "[a-z-]*"' "$work/body")" \
  '200:"outcome": "unknown"'
echo normal >"$RAWLET_SANDBOX/devices/bridge-queue/mode"

# SIGTERM during a job to a slow printer: the job is finished, answered and logged, and the
# bridge ends cleanly after it; a connection kept idle meanwhile is closed at once, not after
# its 5 idle seconds.
head -c 100000 /dev/urandom >"$work/receipt.bin"
rm -f "$work/headers" "$work/body"
post -H "Origin: $kiosk" "$bridge/v1/printers/Slow/jobs" &
client=$!
for _ in $(seq 100); do [[ -e $work/slow/.job-1.part ]] && break; sleep 0.1; done
timeout 30 python3 - "$port" "$shop" "$work/kept-ready" >"$work/kept-closed" <<'PY' &
import http.client, pathlib, sys, time
connection = http.client.HTTPConnection("127.0.0.1", int(sys.argv[1]), timeout=15)
connection.request("GET", "/v1/printers", headers={"Origin": sys.argv[2]})
connection.getresponse().read()
pathlib.Path(sys.argv[3]).touch()
start = time.monotonic()
connection.sock.recv(1)
print("closed at once" if time.monotonic() - start < 3 else "closed after the idle limit")
PY
kept_client=$!
# A connection opened ahead of its request (as browsers open them) is closed too: a job sent on
# it once the bridge takes no new connection prints nothing.
timeout 30 python3 - "$port" "$shop" "$work/fresh-ready" >"$work/fresh-closed" <<'PY' &
import pathlib, socket, sys, time
port, origin = int(sys.argv[1]), sys.argv[2]
fresh = socket.create_connection(("127.0.0.1", port), timeout=15)
pathlib.Path(sys.argv[3]).touch()
while True:  # until the signal has closed the listening socket
    try:
        socket.create_connection(("127.0.0.1", port)).close()
        time.sleep(0.1)
    except ConnectionRefusedError:
        break
try:
    fresh.sendall(f"POST /v1/printers/Till/jobs HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nOrigin: {origin}\r\n"
                  "Content-Type: application/octet-stream\r\nContent-Length: 7\r\n\r\nafter\r\n".encode())
    print("answered" if fresh.recv(12) else "closed")
except OSError:
    print("closed")
PY
fresh_client=$!
held=$(jobs_in "$receipts")
for _ in $(seq 100); do [[ -e $work/kept-ready && -e $work/fresh-ready ]] && break; sleep 0.1; done
kill -TERM "$serve_pid"
wait "$client"
wait "$kept_client"
wait "$fresh_client"
check_eq "kept connection at SIGTERM" "$(cat "$work/kept-closed")" "closed at once"
check_eq "new connection at SIGTERM" "$(cat "$work/fresh-closed"):$(jobs_in "$receipts")" "closed:$held"
check_eq "job under way at SIGTERM" "$(tr -d '\r' <"$work/headers" | head -1 | cut -d' ' -f2):$(cat "$work/body")" \
  '200:{"outcome": "delivered", "job": "Slow", "bytes": 100000, "reason": "", "error": 0}'
for _ in $(seq 100); do [[ -e $work/slow/job-1.bin ]] && break; sleep 0.1; done # the rest of its window
cmp -s "$work/receipt.bin" "$work/slow/job-1.bin" || fail "the job under way at SIGTERM did not reach its printer whole"
wait "$serve_pid"
check_eq "status after SIGTERM" "$?" 0
serve_pid=""
grep -qF 'job for Slow: {"outcome": "delivered"' "$work/log" || fail "no log line for the job under way at SIGTERM"

exit $((failures > 0))
