#!/usr/bin/env bash
# Generates the API reference with Doxygen (installed with apt-get when missing) into
# build-docs/html, from the comments of include/MoxImage2.h and of the platform stand-in's
# headers. A public member of the library without documentation, or any other Doxygen warning,
# fails the run.
# Usage: scripts/docs.sh [output-dir]
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v doxygen >/dev/null 2>&1; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends doxygen
fi

export MOX_DOCS_OUT=${1:-$PWD/build-docs}
mkdir -p "$MOX_DOCS_OUT"

# run <label> [setting ...]: Doxygen over docs/Doxyfile with the settings appended; any warning fails.
run() {
  local label=$1
  shift
  if ! { cat docs/Doxyfile; printf '%s\n' "$@"; } | doxygen - || [ -s "$MOX_DOCS_OUT/warnings.log" ]; then
    cat "$MOX_DOCS_OUT/warnings.log" >&2
    echo "docs: Doxygen reported the problems above ($label)" >&2
    exit 1
  fi
}

# The library's own interface: every public member documented.
run "library interface" "INPUT = include/MoxImage2.h"
# The whole reference with the stand-in's headers, which mirror Windows' documented API: their
# comments say where this platform differs, and a member without one is as Windows documents it.
run "reference" "WARN_IF_UNDOCUMENTED = NO"
echo "docs: $MOX_DOCS_OUT/html/index.html"
