#!/usr/bin/env bash
# Builds the fuzzers of the file readers with clang (AddressSanitizer, UBSan) and runs each.
# Usage: scripts/fuzz.sh [seconds per fuzzer, default 10] [build-dir, default build-fuzz]
# A crash, hang, leak or sanitizer report stops the run, leaves the input as
# <build-dir>/findings/<fuzzer>/crash-* and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
dir=${2:-build-fuzz}
cmake -S . -B "$dir" -DTOLLMERE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j"$(nproc)"
status=0
for seeds in fuzz/corpus/*/; do
  name=$(basename "$seeds")
  work="$dir/corpus/$name"
  findings="$dir/findings/$name"
  mkdir -p "$work" "$findings"
  # New inputs go to the work corpus; the committed seeds are only read.
  if ! "$dir/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 \
      -artifact_prefix="$findings/" -print_final_stats=1 "$work" "$seeds" >"$dir/fuzz_$name.log" 2>&1; then
    echo "fuzz_$name: FAILED, see $dir/fuzz_$name.log and $findings/" >&2
    status=1
  else
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$dir/fuzz_$name.log" | grep -o '[0-9]*$' || echo '?')
    echo "fuzz_$name: $runs inputs, no findings"
  fi
done
exit $status
