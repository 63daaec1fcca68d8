#!/usr/bin/env bash
# An hour of the real program on air at a PulseAudio null sink of its own: scheduled items and
# random music, each a tone of its own pitch; reports items missed or heard twice, random music
# over a scheduled item, memory growth and CPU. Not part of CI.
# Usage: scripts/soak.sh [minutes, default 60] [build-dir, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-60}
dir=${2:-build}
export PULSE_RUNTIME_PATH=${PULSE_RUNTIME_PATH:-/tmp/tollmere-soak-pulse}
mkdir -p "$PULSE_RUNTIME_PATH"
pactl info >/dev/null 2>&1 || bash scripts/test-pulse.sh
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j"$(nproc)" --target tollmere bench_soak
exec "$dir/bench/bench_soak" "$dir/tollmere" "$minutes"
