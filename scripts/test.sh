#!/usr/bin/env bash
# Builds MoxImage2 and runs every test. MOXIMAGE2_WERROR=ON makes warnings errors.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMOXIMAGE2_WERROR="${MOXIMAGE2_WERROR:-OFF}"
cmake --build "$build" --parallel
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
