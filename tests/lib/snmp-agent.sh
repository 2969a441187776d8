#!/usr/bin/env bash
# A private SNMP agent (net-snmp's snmpd) answering for one printer, for the SNMP status tests.
#   snmp-agent.sh start DIR ADDRESS:PORT [SETTING...]   exits 77 where snmpd is not installed
#   snmp-agent.sh stop DIR
# Settings give the printer's objects; an object not given is one the agent lacks:
#   status=N             hrPrinterStatus (1 other, 2 unknown, 3 idle, 4 printing, 5 warmup)
#   errors=0xHEX         hrPrinterDetectedErrorState, its octets in hex
#   description=TEXT     hrDeviceDescr (or 0xHEX)
#   device-id=TEXT       ppmPrinterIEEE1284DeviceId (or 0xHEX)
#   index=N              the objects after it are of the device at hrDeviceIndex N (1 until given)
#   community=NAME       the read community ("public" unless given)
#   versions=v1          answer SNMPv1 only, ignoring SNMPv2c as old agents do
set -euo pipefail

command=${1:?start or stop}
dir=${2:?directory}

# Whether snmpd still runs: once it has ended it may stay a zombie for a while, until the
# process that adopted it reaps it.
running() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [[ $state != Z* ]]
}

stop() {
  [[ -f $dir/snmpd.pid ]] || return 0
  local pid
  pid=$(cat "$dir/snmpd.pid")
  # SIGKILL: snmpd spends about a second saving state on SIGTERM, and a test agent keeps none.
  kill -KILL "$pid" 2>/dev/null || true
  for _ in $(seq 100); do
    running "$pid" || break
    sleep 0.05
  done
  rm -f "$dir/snmpd.pid"
}

configuration() {
  local address=$1 community=public versions=any index=1
  shift
  local objects=()
  for setting in "$@"; do
    local value=${setting#*=}
    case $setting in
      status=*) objects+=(".1.3.6.1.2.1.25.3.5.1.1.$index integer $value") ;;
      errors=*) objects+=(".1.3.6.1.2.1.25.3.5.1.2.$index octet_str \"$value\"") ;;
      description=*) objects+=(".1.3.6.1.2.1.25.3.2.1.3.$index octet_str \"$value\"") ;;
      device-id=*) objects+=(".1.3.6.1.4.1.2699.1.2.1.2.1.1.3.$index octet_str \"$value\"") ;;
      index=*) index=$value ;;
      community=*) community=$value ;;
      versions=*) versions=$value ;;
      *) echo "snmp-agent: unknown setting $setting" >&2; exit 2 ;;
    esac
  done
  echo "agentAddress udp:$address"
  echo "com2sec readers 127.0.0.0/8 $community"
  echo "group printerReaders $([[ $versions == v1 ]] && echo v1 || echo v2c) readers"
  [[ $versions == v1 ]] || echo "group printerReaders v1 readers"
  echo "view everything included .1"
  echo "access printerReaders \"\" any noauth exact everything none none"
  for object in "${objects[@]}"; do echo "override $object"; done
}

start() {
  local snmpd
  snmpd=$(command -v snmpd || echo /usr/sbin/snmpd)
  [[ -x $snmpd ]] || { echo "snmp-agent: snmpd is not installed" >&2; exit 77; }
  stop
  mkdir -p "$dir/persistent"
  configuration "$@" >"$dir/snmpd.conf"
  # -C: none of the system's configuration; its own directory for what snmpd keeps.
  SNMP_PERSISTENT_DIR=$dir/persistent "$snmpd" -f -Lo -C -c "$dir/snmpd.conf" >"$dir/snmpd.log" 2>&1 &
  echo $! >"$dir/snmpd.pid"
  for _ in $(seq 200); do
    grep -q '^NET-SNMP version' "$dir/snmpd.log" && return 0
    running "$(cat "$dir/snmpd.pid")" || break
    sleep 0.05
  done
  echo "snmp-agent: snmpd did not start on $1:" >&2
  grep -v -e '^Cannot find module' -e 'MIB' -e '^Did not find' -e '^Unlinked OID' -e '^Undefined identifier' \
    "$dir/snmpd.log" >&2 || true
  stop
  exit 1
}

case $command in
  start) shift 2; start "$@" ;;
  stop) stop ;;
  *) echo "usage: snmp-agent.sh start DIR ADDRESS:PORT [SETTING...] | stop DIR" >&2; exit 2 ;;
esac
