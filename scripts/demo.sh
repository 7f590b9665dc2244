#!/usr/bin/env bash
# Builds MoxImage2 and runs the example host; it prints where its picture is.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel --target blit_example
"$build/examples/blit_example" "${@:-$PWD/out}"
