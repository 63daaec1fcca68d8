#!/usr/bin/env bash
# Builds and runs every test. Usage: scripts/test.sh [build-dir] [extra cmake options…]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
bash scripts/test-pulse.sh
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
