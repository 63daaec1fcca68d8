#!/usr/bin/env bash
# Starts a PulseAudio server of our own with a null sink and a null source, so the mixer
# and player tests never reach a real sound device. Prints nothing on success.
set -euo pipefail
conf=$(mktemp /tmp/tollmere-pulse.XXXXXX.pa)
cat >"$conf" <<'PA'
load-module module-native-protocol-unix
load-module module-null-sink sink_name=tollmere_null norewinds=1
load-module module-null-source source_name=tollmere_null_source
set-default-sink tollmere_null
set-default-source tollmere_null_source
PA
pulseaudio --kill >/dev/null 2>&1 || true
pulseaudio --daemonize --exit-idle-time=-1 -n -F "$conf" --log-target=stderr 2>/dev/null
for _ in $(seq 1 50); do
  pactl info >/dev/null 2>&1 && exit 0
  sleep 0.1
done
echo "PulseAudio did not start" >&2
exit 1
