#!/usr/bin/env bash
# Installs the package that scripts/package.sh built with apt, starts the installed program as a
# throwaway user, sees it make its settings folder in that user's home, then removes and purges
# the package and sees the user's files stay. Run as root; leaves the machine as it found it.
# The program runs without a display (offscreen), plays only into a PulseAudio null sink of that
# user's own and cannot reach the system bus, so it could never ask for a real power-off.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(echo build-deb/tollmere_*.deb)
user=tollmere-check
home=$(mktemp -d /tmp/tollmere-check.XXXXXX)
data=$home/.local/share/tollmere
pulse= program=
cleanup() {
  for pid in $program $pulse; do kill "$pid" 2>/dev/null && wait "$pid" || true; done
  if id "$user" >/dev/null 2>&1; then userdel "$user"; fi
  rm -rf "$home"
  if dpkg -s tollmere >/dev/null 2>&1; then apt-get purge -y -qq tollmere >/dev/null; fi
}
trap cleanup EXIT
fail() {
  echo "package check: $*" >&2
  exit 1
}
# A command, not a function: started in the background, $! is then the process itself.
as_user=(setpriv --reuid="$user" --regid="$user" --clear-groups
  env -i HOME="$home" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$home/run" TMPDIR="$home/run" LANG=C.UTF-8)

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$deb" >/dev/null
useradd --no-create-home --home-dir "$home" --user-group --shell /usr/sbin/nologin "$user"
install -d -m 700 -o "$user" -g "$user" "$home" "$home/run"

printf '%s\n' 'load-module module-native-protocol-unix' 'load-module module-null-sink sink_name=check_null' \
  'set-default-sink check_null' >"$home/pulse.pa"
"${as_user[@]}" pulseaudio -n -F "$home/pulse.pa" --exit-idle-time=-1 --log-target=stderr 2>/dev/null &
pulse=$!
for _ in $(seq 50); do [ -S "$home/run/pulse/native" ] && break; sleep 0.1; done
[ -S "$home/run/pulse/native" ] || fail "the null sink did not start"

"${as_user[@]}" QT_QPA_PLATFORM=offscreen DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent \
  /usr/bin/tollmere >"$home/run/output" 2>&1 &
program=$!
# The as-run log's first line says the program started and which settings folder it chose.
for _ in $(seq 100); do grep -qs "$data" "$data"/logs/*.log && break; sleep 0.2; done
kill -0 "$program" 2>/dev/null || fail "the installed program ended: $(cat "$home/run/output")"
kill "$program" && wait "$program" || true
program=
grep -qs "$data" "$data"/logs/*.log || fail "no settings folder $data: $(cat "$home/run/output")"
[ "$(stat -c %U "$data")" = "$user" ] || fail "$data is not the user's own"

"${as_user[@]}" tollmere-autostart on >/dev/null && [ "$("${as_user[@]}" tollmere-autostart status)" = on ] ||
  fail "tollmere-autostart did not switch the autostart entry on"

apt-get remove -y -qq tollmere >/dev/null
[ ! -e /usr/bin/tollmere ] || fail "/usr/bin/tollmere is left after apt-get remove"
# The package has no conffiles, so remove left nothing to purge; purge all the same.
dpkg --purge tollmere >/dev/null 2>&1 || fail "dpkg --purge tollmere failed"
[ -f "$data/tollmere.lock" ] && ls "$data"/logs/*.log >/dev/null || fail "the user's files went with the package"
echo "package check: installed, ran as $user with its files in $data, removed and purged; the files stay"
