#!/usr/bin/env bash
# Builds MoxImage2 and runs the demo host headless: it plays a scripted mouse path over its
# buttons, composes 120 frames and writes them as PNG files; it prints where they are.
# Usage: scripts/demo.sh [output-dir] [more demo options, e.g. --frames 300]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel --target demo
out=${1:-$PWD/out}
shift || true
"$build/examples/demo" --headless --out "$out" "$@"
