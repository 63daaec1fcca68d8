#!/usr/bin/env bash
# Two broadcast PCs on this machine, kept in step by two real Syncthing instances: the list is
# changed in the first PC's folder, and both programs must sound the moved item at its second,
# within 50 ms of each other. Everything runs in a network namespace of its own with loopback
# alone, and the run fails should anything have tried another address. Needs root (namespaces).
# Usage: scripts/campus.sh [build-dir, default build-campus]; KEEP=1 keeps its folder afterwards.
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$self")/.."
dir=${1:-build-campus}
begun=${TOLLMERE_CAMPUS_BEGUN:-$(date +%s)}
say() { printf 'campus [%3d s]: %s\n' $(($(date +%s) - begun)) "$*"; }
fail() {
  printf 'campus: FAILED: %s\n' "$*" >&2
  exit 1
}

if [ -z "${TOLLMERE_CAMPUS_ISOLATED:-}" ]; then
  [ "$(id -u)" -eq 0 ] || fail "run it as root: each PC gets its folder at one path in a mount namespace of its own"
  for tool in syncthing ss ip parec pulseaudio; do
    command -v "$tool" >/dev/null || { bash scripts/packages.sh --tests && break; }
  done
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$dir" -j2 --target tollmere bench_campus >/dev/null
  # From here on no packet can leave the machine, whatever a setting below might have missed.
  TOLLMERE_CAMPUS_ISOLATED=1 TOLLMERE_CAMPUS_BEGUN=$begun exec unshare --net -- bash "$self" "$@"
fi
ip link set lo up
say "built; from here on in a network namespace with loopback alone"
program=$(realpath "$dir/tollmere")
helper=$(realpath "$dir/bench/bench_campus")
now() { date +%s; }
secondOfDay() { echo $((10#$(date +%H) * 3600 + 10#$(date +%M) * 60 + 10#$(date +%S))); }
if [ "$(secondOfDay)" -ge 86000 ]; then
  say "skipped: the run would pass midnight"
  exit 0
fi

work=$(mktemp -d /tmp/tollmere-campus.XXXXXX)
pids=()
cleanup() {
  local rc=$?
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  local pid alive
  for _ in $(seq 1 50); do
    alive=false
    for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive=true; done
    $alive || break
    sleep 0.1
  done
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  pulseaudio --kill >/dev/null 2>&1 || true
  if [ "$rc" -eq 0 ] && [ -z "${KEEP:-}" ]; then rm -rf "$work"; else say "left everything in $work"; fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Every socket opened during the run, twice a second: the network check reads it at the end.
(while sleep 0.5; do ss -tunapH; done) >"$work/sockets.log" 2>&1 &
pids+=($!)

# --- Sound: one PulseAudio server of our own, a null sink for each PC's "sound card". The
# programs' mixers reach the server's default sink, the test script's own, so whatever volume
# either sets, the two sinks listened to stay as loud as each other.
export PULSE_RUNTIME_PATH=$work/pulse XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$PULSE_RUNTIME_PATH" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
bash scripts/test-pulse.sh
for pc in a b; do pactl load-module module-null-sink sink_name=campus_$pc norewinds=1 >/dev/null; done

# --- The two PCs' folders. On every real PC the folder lies at one and the same path, so that
# LstCfg.Cfg and the lists, which name files by absolute path, read alike everywhere; here each
# program sees its own folder at the path $as, bound there in a mount namespace of its own.
as=$work/broadcast
mkdir -p "$as" "$work/a/.stfolder" "$work/b/.stfolder"
for pc in a b; do
  cp "$program" "$work/$pc/tollmere"
  cp dist/broadcast.stignore "$work/$pc/.stignore"
  "$helper" --volume "$work/$pc"  # each PC's own sound card, never synchronised
done
"$helper" --folder "$work/a" "$as" $(($(secondOfDay) + 300))

# --- Syncthing: two instances, each knowing only the other, at 127.0.0.1 and nowhere else.
usedPorts=" "
freePort() {
  local port
  for _ in $(seq 1 100); do
    port=$((20000 + RANDOM % 40000))
    if [[ $usedPorts != *" $port "* ]] && ! ss -Htuln | grep -q ":$port "; then
      usedPorts+="$port "
      echo "$port"
      return
    fi
  done
  fail "no free port"
}
declare -A id port gui key
for pc in a b; do
  home=$work/st-$pc
  id[$pc]=$(STNODEFAULTFOLDER=1 syncthing generate --home "$home" 2>&1 | sed -n 's/.*Device ID: *//p')
  [ -n "${id[$pc]}" ] || fail "syncthing generate gave no device ID"
  port[$pc]=$(freePort)
  gui[$pc]=$(freePort)
  key[$pc]=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
done
version=$(sed -n 's/.*<configuration version="\([0-9]*\)".*/\1/p' "$work/st-a/config.xml")
deviceXml() {
  printf '    <device id="%s" name="pc-%s" compression="metadata" introducer="false">\n' "${id[$1]}" "$1"
  printf '        <address>tcp://127.0.0.1:%s</address>\n    </device>\n' "${port[$1]}"
}
# The whole configuration, written before the instance first starts: no discovery (global, or
# local, which broadcasts to the LAN), no relays, no NAT traversal (UPnP multicasts) or STUN, no
# usage or crash reports, no upgrade checks; the GUI and its REST API on 127.0.0.1 with a key.
writeConfig() {
  local pc=$1
  cat >"$work/st-$pc/config.xml" <<XML
<configuration version="$version">
    <folder id="tollmere" label="broadcast" path="$work/$pc" type="sendreceive" rescanIntervalS="60" fsWatcherEnabled="true" fsWatcherDelayS="1">
        <device id="${id[a]}"></device>
        <device id="${id[b]}"></device>
    </folder>
$(deviceXml a)
$(deviceXml b)
    <gui enabled="true" tls="false">
        <address>127.0.0.1:${gui[$pc]}</address>
        <apikey>${key[$pc]}</apikey>
    </gui>
    <options>
        <listenAddress>tcp://127.0.0.1:${port[$pc]}</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <stunKeepaliveStartS>0</stunKeepaliveStartS>
        <announceLANAddresses>false</announceLANAddresses>
        <urAccepted>-1</urAccepted>
        <crashReportingEnabled>false</crashReportingEnabled>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <startBrowser>false</startBrowser>
        <reconnectionIntervalS>2</reconnectionIntervalS>
        <setLowPriority>false</setLowPriority>
    </options>
</configuration>
XML
}
# A GET on an instance's REST API, over bash's own TCP: nothing else to install.
rest() {
  local pc=$1 path=$2 reply
  exec 3<>"/dev/tcp/127.0.0.1/${gui[$pc]}" || return 1
  printf 'GET %s HTTP/1.0\r\nHost: 127.0.0.1\r\nX-API-Key: %s\r\n\r\n' "$path" "${key[$pc]}" >&3
  reply=$(timeout 5 cat <&3) || true
  exec 3<&-
  printf '%s' "$reply"
}
for pc in a b; do
  writeConfig "$pc"
  STNORESTART=1 STNOUPGRADE=1 STTRACE=connections,discover,nat,relay syncthing serve --home "$work/st-$pc" \
    --no-browser --no-restart --no-upgrade >"$work/st-$pc/syncthing.log" 2>&1 &
  pids+=($!)
done
for pc in a b; do
  for _ in $(seq 1 100); do
    [[ $(rest "$pc" /rest/system/ping 2>/dev/null) == *'"pong"'* ]] && break
    sleep 0.2
  done
  options=$(rest "$pc" /rest/config/options | tr -d ' \n')
  for want in '"globalAnnounceEnabled":false' '"localAnnounceEnabled":false' '"relaysEnabled":false' \
    '"natEnabled":false' '"urAccepted":-1' '"crashReportingEnabled":false' '"autoUpgradeIntervalH":0' \
    '"listenAddresses":["tcp://127.0.0.1:'"${port[$pc]}"'"]'; do
    [[ $options == *"$want"* ]] || fail "syncthing $pc does not run with $want"
  done
done
say "two Syncthing instances at 127.0.0.1:${port[a]} and :${port[b]}, discovery, relays, NAT, reports and upgrades off"

# --- The list travels from A to B.
synced() {
  local f
  for f in today.lst LstCfg.Cfg bell.wav ClsTime.Cfg qc.cfg Sjbf0.dat; do cmp -s "$work/a/$f" "$work/b/$f" || return 1; done
}
t0=$(now)
for _ in $(seq 1 120); do synced && break; sleep 0.5; done
synced || fail "Syncthing did not carry the folder to B within a minute"
say "the folder reached B in $(($(now) - t0)) s"

# --- Two programs, each in its folder at the path $as, each at its own null sink.
declare -A pcPid
for pc in a b; do
  PULSE_SINK=campus_$pc QT_QPA_PLATFORM=offscreen \
    unshare --mount --propagation private -- sh -c 'mount --bind "$1" "$2" && exec "$2/tollmere"' \
    sh "$work/$pc" "$as" >"$work/$pc.out" 2>&1 &
  pcPid[$pc]=$!
  pids+=($!)
done
status() { nsenter -t "${pcPid[$1]}" -m -- "$as/tollmere" --status 2>/dev/null || true; }
# Whether program $1's status has a line starting with $2 that holds $3, within $4 tries.
awaitStatus() {
  local text
  for _ in $(seq 1 "$4"); do
    text=$(status "$1")
    [[ $(grep "^$2" <<<"$text") == *"$3"* ]] && return 0
    sleep 0.25
  done
  return 1
}
for pc in a b; do
  awaitStatus "$pc" '今日列表：' "$as/today.lst" 120 || fail "program $pc does not answer with today's list"
done
say "both programs run, each with today's list $as/today.lst"
# A list replaced within the second after a program has first read it can go unnoticed until
# its next change; on a school day the programs have long been running when a change comes.
sleep 2

# --- The bell moved to a second about 25 s ahead, in A only.
due=$(($(secondOfDay) + 25))
dueText=$(printf '%d:%02d:%02d' $((due / 3600)) $((due / 60 % 60)) $((due % 60)))
"$helper" --hear campus_a campus_b "$due" >"$work/hear.out" 2>&1 &
hearPid=$!
pids+=($!)
for _ in $(seq 1 50); do grep -q '^recording' "$work/hear.out" && break; sleep 0.2; done
grep -q '^recording' "$work/hear.out" || fail "cannot record the sinks: $(cat "$work/hear.out")"
"$helper" --move "$work/a" "$as" "$due"
t0=$(now)
say "the bell moved to $dueText in A"
for _ in $(seq 1 60); do cmp -s "$work/a/today.lst" "$work/b/today.lst" && break; sleep 0.25; done
cmp -s "$work/a/today.lst" "$work/b/today.lst" || fail "the moved bell did not reach B"
say "the changed list reached B after $(($(now) - t0)) s"
for pc in a b; do
  awaitStatus "$pc" '下一项：' "$dueText" 60 || fail "program $pc did not take the moved bell"
  say "program $pc has the bell next at $dueText ($(($(now) - t0)) s after the change)"
done
wait "$hearPid" && heardRc=0 || heardRc=$?
grep -v '^recording' "$work/hear.out"

# --- Nothing but 127.0.0.1: no socket of the run at another address, no dial to one.
strange=$(awk '{ if ($5 !~ /^127\.0\.0\.1:/ || $6 !~ /^(127\.0\.0\.1:[0-9]+|0\.0\.0\.0:\*|\*:\*|\*)$/) print }' \
  "$work/sockets.log" | sort -u)
[ -z "$strange" ] || fail "sockets at other addresses than 127.0.0.1:"$'\n'"$strange"
tried=$(grep -hiE 'dial|discover|relay|upnp|nat-pmp|stun|usage report|upgrade' "$work"/st-*/syncthing.log |
  grep -E '[a-z]+://|[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+|\[[0-9a-f:]*\]' | grep -vE '127\.0\.0\.1' || true)
[ -z "$tried" ] || fail "a Syncthing instance tried another address:"$'\n'"$tried"
say "network: every socket and every dial at 127.0.0.1 ($(sort -u "$work/sockets.log" | wc -l) socket states seen)"

[ "$heardRc" -eq 0 ] || fail "the two programs did not sound the bell together"
say "done"
