#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang (AddressSanitizer, UBSan) in build-fuzz and
# runs each for the given number of seconds (default 60), starting from its seed corpus in
# fuzz/corpus/<target>. New inputs collect in build-fuzz/corpus/<target>, so the seeds in the
# repository stay as they are; a finding stops the run with its input in build-fuzz/findings/.
#
#   scripts/fuzz.sh [seconds] [target ...]      e.g. scripts/fuzz.sh 3600 scene_fuzz
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true

scripts/install-deps.sh
# clang and its libFuzzer runtime (Debian 12 ships them as clang-14 and libclang-rt-14-dev).
missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi

build=${FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOXIMAGE2_FUZZ=ON -DMOXIMAGE2_WERROR=OFF \
  -DMOXIMAGE2_BUILD_TESTS=OFF -DMOXIMAGE2_BUILD_BENCH=OFF -DMOXIMAGE2_BUILD_EXAMPLES=OFF
cmake --build "$build" --parallel

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*_fuzz.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

mkdir -p "$build/findings"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
summary=()
failed=0
for target in "${targets[@]}"; do
  name=${target%_fuzz}
  mkdir -p "$build/corpus/$name"
  log="$build/findings/$target.log"
  echo "== $target: $seconds s"
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$target-" "$build/corpus/$name" "fuzz/corpus/$name" >"$log" 2>&1; then
    result="ok"
  else
    result="FINDING (see $log)"
    failed=1
    tail -n 40 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  corpus=$(find "$build/corpus/$name" "fuzz/corpus/$name" -type f | wc -l)
  summary+=("$target: ${runs:-?} executions in $seconds s, corpus $corpus inputs, $result")
done
printf '%s\n' "${summary[@]}"
exit $failed
