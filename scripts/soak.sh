#!/usr/bin/env bash
# Long runs that must keep resident memory flat: bench/font_memory draws text in N new font
# sizes (default 100,000) and reports resident memory as it goes; then the demo host runs
# headless for N frames while its resident memory is sampled ten times a second. Not part of CI
# (several minutes). Uses the build in $BUILD_DIR (default build), building what it needs.
#
#   scripts/soak.sh [N]          (SOAK_DEMO_ONLY=1 skips the font run)
set -euo pipefail
cd "$(dirname "$0")/.."

count=${1:-100000}
build=${BUILD_DIR:-build}
[ -d "$build" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target font_memory demo

if [ -z "${SOAK_DEMO_ONLY:-}" ]; then
  echo "== font descriptions"
  "$build/bench/font_memory" "$count"
fi

echo "== demo, $count frames headless"
out=$(mktemp -d)
"$build/examples/demo" --headless --frames "$count" --every "$count" --out "$out" >"$out/demo.log" 2>&1 &
pid=$!
samples=()
while kill -0 "$pid" 2>/dev/null; do
  rss=$(sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status" 2>/dev/null || true)
  [ -n "$rss" ] && samples+=("$rss")
  sleep 0.1
done
if ! wait "$pid"; then
  echo "the demo failed:"
  cat "$out/demo.log"
  exit 1
fi
n=${#samples[@]}
if [ "$n" -lt 3 ]; then
  echo "run too short to sample (${n} samples)"
  exit 0
fi
warm=${samples[$((n / 10 + 1))]}
peak=$(printf '%s\n' "${samples[@]:$((n / 10 + 1))}" | sort -n | tail -n 1)
echo "samples=$n rss_after_warm_up_kib=$warm rss_peak_after_warm_up_kib=$peak rss_last_kib=${samples[$((n - 1))]}"
tail -n 1 "$out/demo.log"
rm -rf "$out"
